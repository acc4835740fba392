#pragma once
// Pictures drawn at another size than their own, for other screen densities.
//
// Each pixel drawn takes the average colour of the part of the picture it
// covers, weighted by how much of each picture pixel lies under it (area
// sampling). Where the size is a whole multiple of the picture's, every pixel
// lies within one picture pixel, so the picture is grown pixel for pixel and
// keeps its hard edges; at 1.25 or 1.5 times the size only the pixels on
// which two picture pixels meet are mixed, so edges stay a pixel wide
// without the smear of interpolating filters, and no pixel is dropped or
// doubled unevenly.
#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"

namespace sysaccess::paint {

// Draws `picture` into `target`, grown or shrunk to `size` (its width and
// height in pixels) with its top-left corner at (x, y); only the pixels
// inside `clip` (target coordinates) are computed and written.
void drawResampled(Image& target, const Rect& clip, const Image& picture, int x, int y, int width, int height);

}  // namespace sysaccess::paint
