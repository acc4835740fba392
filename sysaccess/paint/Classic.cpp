#include "sysaccess/paint/Classic.h"

#include <algorithm>
#include <climits>

namespace sysaccess::paint::classic {

void pattern(Canvas& c, const char* const* rows, int height, int x0, int y0, Rgb colour, const Density& d) {
    for (int y = 0; y < height; ++y) {
        const int top = d.scale(y), bottom = d.scale(y + 1);
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            const int left = d.scale(x), right = d.scale(x + 1);
            if (rows[y][x] == '#') c.fill(Rect{x0 + left, y0 + top, right - left, bottom - top}, colour);
        }
    }
}

Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled, const Palette& palette,
               Underline underline, int k) {
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
            fonts.draw(c.image(), c.clip(), c.originX() + x + k, baseline + k, font, line, highlight);
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, shadow);
        } else {
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, colour);
        }
        if (static_cast<int>(i) == underline.line && underline.column >= 0 &&
            underline.column < static_cast<int>(line.size())) {
            const std::u32string_view view(line);
            const int ux = x + fonts.measure(font, view.substr(0, underline.column));
            const int uw = fonts.measure(font, view.substr(underline.column, 1));
            const int uy = y + m.ascent + k;
            if (!enabled) {
                c.fill(Rect{ux + k, uy + k, uw, k}, highlight);
                c.fill(Rect{ux, uy, uw, k}, shadow);
            } else {
                c.fill(Rect{ux, uy, uw, k}, colour);
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
