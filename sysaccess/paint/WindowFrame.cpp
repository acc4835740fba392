#include "sysaccess/paint/WindowFrame.h"

#include <algorithm>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {

using namespace classic;

namespace {

constexpr int kLargestSide = 16384;  // no window is drawn larger than this

// The close box's cross, 8 x 7 pixels.
constexpr const char* kCross[] = {
    "##....##",
    ".##..##.",
    "..####..",
    "...##...",
    "..####..",
    ".##..##.",
    "##....##",
};

// A close box that closes nothing shows its cross greyed: embossed, white
// under grey, as disabled text is.
void closeBox(Canvas& c, const Rect& r, bool enabled, const Palette& p) {
    c.fill(r, p[Role::ButtonFace]);
    raised(c, r, p);
    const int x0 = r.x + (r.w - 8) / 2 - 1, y0 = r.y + (r.h - 7) / 2;
    const auto cross = [&](int dx, int dy, Rgb colour) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (kCross[y][x] == '#') c.pixel(x0 + dx + x, y0 + dy + y, colour);
            }
        }
    };
    if (enabled) {
        cross(0, 0, p[Role::DarkShadow]);
    } else {
        cross(1, 1, p[Role::ButtonHighlight]);
        cross(0, 0, p[Role::ButtonShadow]);
    }
}

}  // namespace

FrameGeometry frameGeometry(const ui::Form& form) {
    const int border = form.frameThickness();
    const int caption = form.captionHeight();
    const int cw = std::clamp(pixels(form.ScaleWidth), 0, kLargestSide);
    const int ch = std::clamp(pixels(form.ScaleHeight), 0, kLargestSide);
    FrameGeometry g;
    g.width = cw + 2 * border;
    g.height = ch + 2 * border + caption;
    g.client = Rect{border, border + caption, cw, ch};
    if (caption > 0) {
        // The bar itself; the last pixel row of the caption height is a
        // button-face line between the bar and the client area.
        g.titleBar = Rect{border, border, g.width - 2 * border, caption - 1};
        if (form.ControlBox) {
            const Rect& t = g.titleBar;
            g.closeBox = Rect{t.x + t.w - 2 - 16, t.y + (t.h - 14) / 2, 16, 14};
        }
    }
    return g;
}

void drawWindowFrame(Canvas& c, FontEngine& fonts, const ui::Form& form, const FrameGeometry& g,
                     const std::u32string& caption, bool active, const Palette& p) {
    const int border = form.frameThickness();
    c.fill(Rect{0, 0, g.width, g.height}, p[Role::ButtonFace]);
    if (border >= 2) {
        // The raised outer edge of a dialog frame; the rest of it is button face.
        const Rect outer{0, 0, g.width, g.height};
        c.bevel(outer, p[Role::ButtonFace], p[Role::DarkShadow]);
        c.bevel(inset(outer, 1), p[Role::ButtonHighlight], p[Role::ButtonShadow]);
    } else if (border == 1) {
        c.outline(Rect{0, 0, g.width, g.height}, p[Role::DarkShadow]);
    }
    if (empty(g.titleBar)) return;

    c.fill(g.titleBar, p[active ? Role::ActiveCaption : Role::InactiveCaption]);
    const ui::Font font = captionFont();
    const FontMetrics m = fonts.metrics(font);
    Rect textArea = g.titleBar;
    textArea.x += 2;
    textArea.w -= 2;
    if (!empty(g.closeBox)) textArea.w = g.closeBox.x - 2 - textArea.x;
    Canvas text = c.sub(textArea);
    const int baseline = (textArea.h - m.height()) / 2 + m.ascent;
    // A title longer than the bar ends in "..." rather than mid-letter.
    const std::u32string shown = fitWithEllipsis(fonts, font, caption, textArea.w - 1);
    fonts.draw(text.image(), text.clip(), text.originX() + 1, text.originY() + baseline, font, shown,
               p[Role::CaptionText]);
    if (!empty(g.closeBox)) closeBox(c, g.closeBox, form.closeBoxEnabled, p);
}

}  // namespace sysaccess::paint
