#pragma once
// Pixel work of the X11 driver that needs no display: finding what changed
// between two renders, and turning pictures into the window manager's icon
// format.
#include <cstdint>
#include <vector>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"

namespace sysaccess::drivers::x11 {

// Rectangles that together cover every pixel that differs between the two
// images (the whole of `after` when the sizes differ). Neighbouring changed
// rows form one band, so a title scroll and a blinking label give two
// rectangles, not one that spans the window.
std::vector<paint::Rect> changedRects(const paint::Image& before, const paint::Image& after);

// _NET_WM_ICON data: width, height, then one ARGB value per pixel, top row
// first. `transparent` (optional, width * height, 1 = see-through) clears
// the alpha of those pixels.
std::vector<unsigned long> netWmIcon(const paint::Image& image,
                                     const std::vector<std::uint8_t>* transparent = nullptr);

}  // namespace sysaccess::drivers::x11
