#include "sysaccess/paint/Classic.h"

#include <algorithm>
#include <climits>

namespace sysaccess::paint::classic {

void pattern(Canvas& c, const char* const* rows, int height, int x0, int y0, Rgb colour, int k) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            if (rows[y][x] == '#') c.fill(Rect{x0 + x * k, y0 + y * k, k, k}, colour);
        }
    }
}

Rect drawLines(Canvas& c, FontEngine& fonts, const ui::Font& font, const std::vector<std::u32string>& lines,
               int left, int top, int width, ui::Alignment align, Rgb colour, bool enabled) {
    const FontMetrics m = fonts.metrics(font);
    int x0 = INT_MAX, x1 = INT_MIN;
    int y = top;
    for (const auto& line : lines) {
        if (y >= c.clip().y + c.clip().h - c.originY()) break;  // below the visible part
        const int w = fonts.measure(font, line);
        int x = left;
        if (align == ui::Alignment::Center) x = left + (width - w) / 2;
        if (align == ui::Alignment::Right) x = left + width - w;
        const int baseline = c.originY() + y + m.ascent;
        if (!enabled) {
            fonts.draw(c.image(), c.clip(), c.originX() + x + 1, baseline + 1, font, line, Highlight);
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, Shadow);
        } else {
            fonts.draw(c.image(), c.clip(), c.originX() + x, baseline, font, line, colour);
        }
        x0 = std::min(x0, x);
        x1 = std::max(x1, x + w);
        y += m.height();
    }
    if (x0 > x1) return Rect{left, top, 0, 0};
    return Rect{x0, top, x1 - x0, y - top};
}

}  // namespace sysaccess::paint::classic
