#pragma once
// Mouse cursors made from pictures. A full-colour cursor goes through the
// Xcursor library when it can be loaded at run time; otherwise the picture
// becomes a two-colour cursor (dark pixels black, light pixels white).
#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/Image.h"

namespace sysaccess::drivers::x11 {

struct CursorPicture {
    paint::Image image;
    std::vector<std::uint8_t> transparent;  // width * height, 1 = see-through; empty: all opaque
    int hotX = 0, hotY = 0;
};

// The picture grown as the density grows pictures (a cursor's mask has no
// half-transparent pixels, so each pixel drawn takes the picture pixel under
// its top-left corner: squares at a whole factor, rows and columns of one or
// two pixels in between), the hot spot with it.
CursorPicture scaled(const CursorPicture& picture, const paint::Density& density);

// A cursor for the display, or 0 when the picture is empty. The caller frees
// it with XFreeCursor.
Cursor makeCursor(Display* dpy, const CursorPicture& picture);

// The two-colour form: which pixels are drawn (mask) and which of them are
// dark (source), as X bitmaps (LSB first, rows padded to bytes).
struct CursorBitmaps {
    std::vector<unsigned char> source, mask;
    int bytesPerRow = 0;
};
CursorBitmaps cursorBitmaps(const CursorPicture& picture);

}  // namespace sysaccess::drivers::x11
