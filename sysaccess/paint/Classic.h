#pragma once
// The pieces of the classic 3D look shared by the window frame and the
// controls: system colours, raised and sunken edges, embossed (disabled)
// text, and the conversion of twips to pixels.
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::paint::classic {

inline constexpr Rgb Face{192, 192, 192};
inline constexpr Rgb Highlight{255, 255, 255};
inline constexpr Rgb Shadow{128, 128, 128};
inline constexpr Rgb DarkShadow{0, 0, 0};
inline constexpr Rgb Window{255, 255, 255};
inline constexpr Rgb ActiveCaption{0, 0, 128};
inline constexpr Rgb InactiveCaption{128, 128, 128};
inline constexpr Rgb CaptionText{255, 255, 255};

inline Rgb rgb(ui::Color c) { return Rgb{c.r(), c.g(), c.b()}; }

// Twips to pixels, rounded to the nearest pixel (halves up), also for
// negative positions: -245 -> -16, 310 -> 21, 135 -> 9. Positions and sizes
// are rounded each on its own, so equal sizes stay equal on screen.
inline int pixels(int twips) { return Density().pixels(twips); }

inline Rect inset(const Rect& r, int d) { return Rect{r.x + d, r.y + d, r.w - 2 * d, r.h - 2 * d}; }

// A ring `k` pixels thick: top and left in one colour, bottom and right in
// the other; exactly a one-pixel bevel of the standard density, each pixel
// grown into a k x k square.
inline void bevel(Canvas& c, const Rect& r, Rgb topLeft, Rgb bottomRight, int k = 1) {
    if (k <= 1) return c.bevel(r, topLeft, bottomRight);
    if (r.w <= 0 || r.h <= 0) return;
    c.fill(Rect{r.x, r.y + r.h - k, r.w, k}, bottomRight);
    c.fill(Rect{r.x + r.w - k, r.y, k, r.h}, bottomRight);
    c.fill(Rect{r.x, r.y, r.w - k, k}, topLeft);
    c.fill(Rect{r.x, r.y, k, r.h - k}, topLeft);
}
inline void outline(Canvas& c, const Rect& r, Rgb colour, int k = 1) { bevel(c, r, colour, colour, k); }

// Two-pixel edges (2k at factor k): sunken (text boxes, bordered labels,
// picture boxes, check boxes) and raised (buttons, the close box).
inline void sunken(Canvas& c, const Rect& r, int k = 1) {
    bevel(c, r, Shadow, Highlight, k);
    bevel(c, inset(r, k), DarkShadow, Face, k);
}
inline void raised(Canvas& c, const Rect& r, int k = 1) {
    bevel(c, r, Highlight, DarkShadow, k);
    bevel(c, inset(r, k), Face, Shadow, k);
}

// A small bitmap given as rows of '#' and '.', each '#' a k x k square.
void pattern(Canvas& c, const char* const* rows, int height, int x0, int y0, Rgb colour, int k);

// A font as the density shows it.
inline ui::Font atDensity(ui::Font font, const Density& d) {
    font.dpi = d.dpi();
    return font;
}

// The caption font of title bars: the dialog font, bold.
inline ui::Font captionFont() { return ui::Font{"", 8, true, false, 0}; }

// Fixed pixel sizes of the standard density.
inline constexpr int CheckSize = 13;  // the check box square
inline constexpr int CheckGap = 4;    // between the square and the text

// Draws lines of text from `top` downwards, each aligned within [0, width)
// of the canvas; a disabled text is drawn embossed (white, then grey one
// pixel up and left). Returns the bounds of the drawn text.
Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled);

}  // namespace sysaccess::paint::classic
