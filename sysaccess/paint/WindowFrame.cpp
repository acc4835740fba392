#include "sysaccess/paint/WindowFrame.h"

#include <algorithm>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/TextFit.h"
#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {

using namespace classic;

namespace {

constexpr int kLargestSide = 16384;  // no window is drawn larger than this

// A close box that closes nothing shows its cross greyed: embossed, white
// under grey, as disabled text is. The cross is centred as at 96 dpi, a pixel
// left of the middle, and grown with the box.
void closeBox(Canvas& c, const Rect& r, bool enabled, const Palette& p, const Density& d) {
    const int k = d.line();
    c.fill(r, p[Role::ButtonFace]);
    raised(c, r, p, k);
    const int x0 = r.x + d.scale((d.unscale(r.w) - 8) / 2 - 1), y0 = r.y + d.scale((d.unscale(r.h) - 7) / 2);
    if (enabled) {
        closeCross(c, x0, y0, p[Role::DarkShadow], d);
    } else {
        closeCross(c, x0 + k, y0 + k, p[Role::ButtonHighlight], d);
        closeCross(c, x0, y0, p[Role::ButtonShadow], d);
    }
}

}  // namespace

FrameGeometry frameGeometry(const ui::Form& form, int dpi) {
    // The frame and the title bar grow with the density as the desktop's
    // metrics do (Density.h); the client area follows the twips exactly.
    const Density d(dpi);
    const int k = d.line();
    const int thickness = form.frameThickness();
    // A dialog frame is two rings of lines with button face inside them.
    const int border = thickness <= 0 ? 0 : thickness == 1 ? k : std::max(d.scale(thickness), 2 * k);
    // The bar, and below it a button-face line between the bar and the client area.
    const int bar = form.captionHeight() > 0 ? d.scale(form.captionHeight() - 1) : 0;
    const int caption = bar > 0 ? bar + k : 0;
    const int cw = std::clamp(d.pixels(form.ScaleWidth), 0, kLargestSide);
    const int ch = std::clamp(d.pixels(form.ScaleHeight), 0, kLargestSide);
    FrameGeometry g;
    g.width = cw + 2 * border;
    g.height = ch + 2 * border + caption;
    g.client = Rect{border, border + caption, cw, ch};
    if (caption > 0) {
        g.titleBar = Rect{border, border, g.width - 2 * border, bar};
        if (form.ControlBox) {
            const Rect& t = g.titleBar;
            const int w = d.scale(16), h = d.scale(14);
            g.closeBox = Rect{t.x + t.w - d.scale(2) - w, t.y + d.scale((d.unscale(t.h) - 14) / 2), w, h};
        }
    }
    return g;
}

namespace {

// Where the title's text goes: from a little right of the bar's start to a
// little left of the close box, indented by a pixel.
TitleLayout titleArea(const FrameGeometry& g, const Density& d) {
    TitleLayout t;
    t.area = g.titleBar;
    t.area.x += d.scale(2);
    t.area.w -= d.scale(2);
    if (!empty(g.closeBox)) t.area.w = g.closeBox.x - d.scale(2) - t.area.x;
    t.indent = d.scale(1);
    return t;
}

}  // namespace

TitleLayout layoutTitle(FontEngine& fonts, const ui::Form& form, const std::u32string& caption, int dpi) {
    const Density here(dpi);
    TitleLayout t = titleArea(frameGeometry(form, dpi), here);
    const TitleLayout standard = titleArea(frameGeometry(form), Density());
    const int room = std::max(t.area.w - t.indent, 0);
    const FittedText fitted = fitText(fonts, captionFont(), caption, TextRoom{standard.area.w - standard.indent, NoHeightLimit},
                                      TextRoom{room, NoHeightLimit}, dpi, false);
    t.font = fitted.font;
    // A title longer than the bar ends in "..." rather than mid-letter.
    t.shown = fitWithEllipsis(fonts, t.font, caption, room);
    return t;
}

void drawWindowFrame(Canvas& c, FontEngine& fonts, const ui::Form& form, const FrameGeometry& g,
                     const std::u32string& caption, bool active, const Palette& p, const Density& density) {
    const int border = form.frameThickness();
    const int k = density.line();
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
    const TitleLayout title = layoutTitle(fonts, form, caption, density.dpi());
    const FontMetrics m = fonts.metrics(title.font);
    Canvas text = c.sub(title.area);
    const int baseline = (title.area.h - m.height()) / 2 + m.ascent;
    fonts.draw(text.image(), text.clip(), text.originX() + title.indent, text.originY() + baseline, title.font,
               title.shown, p[Role::CaptionText]);
    if (!empty(g.closeBox)) closeBox(c, g.closeBox, form.closeBoxEnabled, p, density);
}

}  // namespace sysaccess::paint
