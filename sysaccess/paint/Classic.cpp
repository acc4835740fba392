#include "sysaccess/paint/Classic.h"

#include <algorithm>
#include <climits>

namespace sysaccess::paint::classic {

Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled, const Palette& palette,
               Underline underline) {
    const Rgb highlight = palette[Role::ButtonHighlight], shadow = palette[Role::ButtonShadow];
    const FontMetrics m = fonts.metrics(font);
    int x0 = INT_MAX, x1 = INT_MIN;
    int y = top;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u32string& line = lines[i];
        if (y >= c.clip().y + c.clip().h - c.originY()) break;  // below the visible part
        const int w = fonts.measure(font, line);
        int x = left;
        if (align == ui::Alignment::Center) x = left + (width - w) / 2;
        if (align == ui::Alignment::Right) x = left + width - w;
        const int baseline = c.originY() + y + m.ascent;
        if (!enabled) {
            fonts.draw(c.image(), c.clip(), c.originX() + x + 1, baseline + 1, font, line, highlight);
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, shadow);
        } else {
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, colour);
        }
        if (static_cast<int>(i) == underline.line && underline.column >= 0 &&
            underline.column < static_cast<int>(line.size())) {
            const std::u32string_view view(line);
            const int ux = x + fonts.measure(font, view.substr(0, underline.column));
            const int uw = fonts.measure(font, view.substr(underline.column, 1));
            const int uy = y + m.ascent + 1;
            if (!enabled) {
                c.fill(Rect{ux + 1, uy + 1, uw, 1}, highlight);
                c.fill(Rect{ux, uy, uw, 1}, shadow);
            } else {
                c.fill(Rect{ux, uy, uw, 1}, colour);
            }
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x + w);
        y += m.height();
    }
    if (x0 > x1) return Rect{left, top, 0, 0};
    return Rect{x0, top, x1 - x0, y - top};
}

}  // namespace sysaccess::paint::classic
