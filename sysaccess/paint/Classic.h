#pragma once
// The pieces of the classic 3D look shared by the window frame and the
// controls: raised and sunken edges, small patterns and embossed (disabled)
// text in the palette's colours, at the density's sizes (Density.h).
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Palette.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::paint::classic {

using Role = ui::SysColor;

// Twips to pixels at the standard density, rounded to the nearest pixel
// (halves up), also for negative positions: -245 -> -16, 310 -> 21, 135 -> 9.
inline int pixels(int twips) { return Density().pixels(twips); }

inline Rect inset(const Rect& r, int d) { return Rect{r.x + d, r.y + d, r.w - 2 * d, r.h - 2 * d}; }

// A ring `k` pixels thick (the density's line): top and left in one colour,
// bottom and right in the other; at 96 dpi the desktop's one-pixel bevel.
inline void bevel(Canvas& c, const Rect& r, Rgb topLeft, Rgb bottomRight, int k = 1) {
    if (k <= 1) return c.bevel(r, topLeft, bottomRight);
    if (r.w <= 0 || r.h <= 0) return;
    c.fill(Rect{r.x, r.y + r.h - k, r.w, k}, bottomRight);
    c.fill(Rect{r.x + r.w - k, r.y, k, r.h}, bottomRight);
    c.fill(Rect{r.x, r.y, r.w - k, k}, topLeft);
    c.fill(Rect{r.x, r.y, k, r.h - k}, topLeft);
}
inline void outline(Canvas& c, const Rect& r, Rgb colour, int k = 1) { bevel(c, r, colour, colour, k); }

// Edges of two rings (2k pixels): sunken (text boxes, bordered labels,
// picture boxes, check boxes) and raised (buttons, the close box).
inline void sunken(Canvas& c, const Rect& r, const Palette& p, int k = 1) {
    bevel(c, r, p[Role::ButtonShadow], p[Role::ButtonHighlight], k);
    bevel(c, inset(r, k), p[Role::DarkShadow], p[Role::ButtonFace], k);
}
inline void raised(Canvas& c, const Rect& r, const Palette& p, int k = 1) {
    bevel(c, r, p[Role::ButtonHighlight], p[Role::DarkShadow], k);
    bevel(c, inset(r, k), p[Role::ButtonFace], p[Role::ButtonShadow], k);
}

// A small bitmap of the standard density given as rows of '#' and '.', drawn
// from (x0, y0) with each cell grown to the density: cell i spans the pixels
// from scale(i) to scale(i + 1), so the cells meet without gaps and at a
// whole factor each is a square of that many pixels.
void pattern(Canvas& c, const char* const* rows, int height, int x0, int y0, Rgb colour, const Density& d);

// The marks of the look: the check box's tick (7 x 7 pixels at 96 dpi),
// centred in the square's white inside, and the close box's cross (8 x 7)
// from (x0, y0). At a whole factor each pixel of the classic pattern is
// grown into a square; in between they are drawn as the strokes they are
// made of (the tick's two strokes three pixels high, the cross's two
// diagonals two wide), so their thickness stays even where rows of one and
// two pixels would alternate; the tick then fills the inside but for a
// pixel all round, as at 96 dpi.
void checkMark(Canvas& c, const Rect& inside, Rgb colour, const Density& d);
void closeCross(Canvas& c, int x0, int y0, Rgb colour, const Density& d);

// A font as the density shows it.
inline ui::Font atDensity(ui::Font font, const Density& d) {
    font.dpi = d.dpi();
    return font;
}

// The caption font of title bars: the dialog font, bold.
inline ui::Font captionFont() { return ui::Font{"", 8, true, false, 0}; }

// Where an access letter is underlined: its line and its place in the line.
struct Underline {
    int line = -1;
    int column = -1;
};

// Fixed pixel sizes of the standard density.
inline constexpr int CheckSize = 13;      // the check box square
inline constexpr int CheckGap = 4;        // between the square and the text
inline constexpr int ButtonPadding = 4;   // between a button's edge and its text
inline constexpr int FrameTitleLeft = 8;  // where a frame's title starts

// Draws lines of text from `top` downwards, each aligned within [0, width)
// of the canvas; a disabled text is drawn embossed (white, then grey one
// line, k pixels, up and left). The underlined letter gets a line of its
// width and k pixels thick just below the baseline. Returns the bounds of the
// drawn text.
Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled, const Palette& palette,
               Underline underline = {}, int k = 1);

}  // namespace sysaccess::paint::classic
