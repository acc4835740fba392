#pragma once
// The pieces of the classic 3D look shared by the window frame and the
// controls: raised and sunken edges and embossed (disabled) text in the
// palette's colours, and the conversion of twips to pixels.
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Palette.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::paint::classic {

using Role = ui::SysColor;

// Twips to pixels, rounded to the nearest pixel (halves up), also for
// negative positions: -245 -> -16, 310 -> 21, 135 -> 9. Positions and sizes
// are rounded each on its own, so equal sizes stay equal on screen.
inline int pixels(int twips) {
    const int t = twips + ui::TwipsPerPixel / 2;
    return t >= 0 ? t / ui::TwipsPerPixel : -((-t + ui::TwipsPerPixel - 1) / ui::TwipsPerPixel);
}

inline Rect inset(const Rect& r, int d) { return Rect{r.x + d, r.y + d, r.w - 2 * d, r.h - 2 * d}; }

// Two-pixel edges: sunken (text boxes, bordered labels, picture boxes, check
// boxes) and raised (buttons, the close box).
inline void sunken(Canvas& c, const Rect& r, const Palette& p) {
    c.bevel(r, p[Role::ButtonShadow], p[Role::ButtonHighlight]);
    c.bevel(inset(r, 1), p[Role::DarkShadow], p[Role::ButtonFace]);
}
inline void raised(Canvas& c, const Rect& r, const Palette& p) {
    c.bevel(r, p[Role::ButtonHighlight], p[Role::DarkShadow]);
    c.bevel(inset(r, 1), p[Role::ButtonFace], p[Role::ButtonShadow]);
}

// The caption font of title bars: the dialog font, bold.
inline ui::Font captionFont() { return ui::Font{"", 8, true, false, 0}; }

// Where an access letter is underlined: its line and its place in the line.
struct Underline {
    int line = -1;
    int column = -1;
};

// Draws lines of text from `top` downwards, each aligned within [0, width)
// of the canvas; a disabled text is drawn embossed (white, then grey one
// pixel up and left). The underlined letter gets a line of its width just
// below the baseline. Returns the bounds of the drawn text.
Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled, const Palette& palette,
               Underline underline = {});

}  // namespace sysaccess::paint::classic
