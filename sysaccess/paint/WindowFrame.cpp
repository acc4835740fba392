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
void closeBox(Canvas& c, const Rect& r, bool enabled, const Palette& p, int k) {
    c.fill(r, p[Role::ButtonFace]);
    raised(c, r, p, k);
    const int x0 = r.x + k * ((r.w / k - 8) / 2 - 1), y0 = r.y + k * ((r.h / k - 7) / 2);
    if (enabled) {
        pattern(c, kCross, 7, x0, y0, p[Role::DarkShadow], k);
    } else {
        pattern(c, kCross, 7, x0 + k, y0 + k, p[Role::ButtonHighlight], k);
        pattern(c, kCross, 7, x0, y0, p[Role::ButtonShadow], k);
    }
}

}  // namespace

FrameGeometry frameGeometry(const ui::Form& form, int dpi) {
    // The frame and the title bar are fixed pixel sizes that grow by the
    // density's whole factor; the client area follows the twips exactly.
    const Density d(dpi);
    const int k = d.factor();
    const int border = d.scale(form.frameThickness());
    const int caption = d.scale(form.captionHeight());
    const int cw = std::clamp(d.pixels(form.ScaleWidth), 0, kLargestSide);
    const int ch = std::clamp(d.pixels(form.ScaleHeight), 0, kLargestSide);
    FrameGeometry g;
    g.width = cw + 2 * border;
    g.height = ch + 2 * border + caption;
    g.client = Rect{border, border + caption, cw, ch};
    if (caption > 0) {
        // The bar itself; the last pixel row of the caption height is a
        // button-face line between the bar and the client area.
        g.titleBar = Rect{border, border, g.width - 2 * border, caption - k};
        if (form.ControlBox) {
            const Rect& t = g.titleBar;
            g.closeBox = Rect{t.x + t.w - 18 * k, t.y + k * ((t.h / k - 14) / 2), 16 * k, 14 * k};
        }
    }
    return g;
}

void drawWindowFrame(Canvas& c, FontEngine& fonts, const ui::Form& form, const FrameGeometry& g,
                     const std::u32string& caption, bool active, const Palette& p, const Density& density) {
    const int border = form.frameThickness();
    const int k = density.factor();
    c.fill(Rect{0, 0, g.width, g.height}, p[Role::ButtonFace]);
    if (border >= 2) {
        // The raised outer edge of a dialog frame; the rest of it is button face.
        const Rect outer{0, 0, g.width, g.height};
        bevel(c, outer, p[Role::ButtonFace], p[Role::DarkShadow], k);
        bevel(c, inset(outer, k), p[Role::ButtonHighlight], p[Role::ButtonShadow], k);
    } else if (border == 1) {
        outline(c, Rect{0, 0, g.width, g.height}, p[Role::DarkShadow], k);
    }
    if (empty(g.titleBar)) return;

    c.fill(g.titleBar, p[active ? Role::ActiveCaption : Role::InactiveCaption]);
    const ui::Font font = atDensity(captionFont(), density);
    const FontMetrics m = fonts.metrics(font);
    Rect textArea = g.titleBar;
    textArea.x += 2 * k;
    textArea.w -= 2 * k;
    if (!empty(g.closeBox)) textArea.w = g.closeBox.x - 2 * k - textArea.x;
    Canvas text = c.sub(textArea);
    const int baseline = (textArea.h - m.height()) / 2 + m.ascent;
    // A title longer than the bar ends in "..." rather than mid-letter.
    const std::u32string shown = fitWithEllipsis(fonts, font, caption, textArea.w - k);
    fonts.draw(text.image(), text.clip(), text.originX() + k, text.originY() + baseline, font, shown,
               p[Role::CaptionText]);
    if (!empty(g.closeBox)) closeBox(c, g.closeBox, form.closeBoxEnabled, p, k);
}

}  // namespace sysaccess::paint
