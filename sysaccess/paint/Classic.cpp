#include "sysaccess/paint/Classic.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace sysaccess::paint::classic {

namespace {

constexpr const char* kCheck[] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

constexpr const char* kCross[] = {
    "##....##",
    ".##..##.",
    "..####..",
    "...##...",
    "..####..",
    ".##..##.",
    "##....##",
};

// Strokes across a mark of `columns` x `rows` cells of the standard density
// drawn into `box`: along each pixel column (or, `acrossRows`, each pixel
// row), every pixel whose centre lies within `thickness` / 2 cells of a
// stroke's centre line there. `centres` gives those centre lines at a
// position in cells (a cell's centre at its index) and returns how many.
template <typename Centres>
void strokes(Canvas& c, const Rect& box, int columns, int rows, bool acrossRows, double thickness, Rgb colour,
             Centres centres) {
    const double fx = box.w / double(columns), fy = box.h / double(rows);
    const int along = acrossRows ? box.h : box.w, across = acrossRows ? box.w : box.h;
    const double fAlong = acrossRows ? fy : fx, fAcross = acrossRows ? fx : fy;
    const int cells = acrossRows ? rows : columns;
    for (int i = 0; i < along; ++i) {
        const double at = std::clamp((i + 0.5) / fAlong - 0.5, 0.0, cells - 1.0);
        double line[2];
        const int n = centres(at, line);
        for (int j = 0; j < across; ++j) {
            const double cell = (j + 0.5) / fAcross - 0.5;
            bool ink = false;
            for (int k = 0; k < n; ++k) ink = ink || std::abs(cell - line[k]) < thickness / 2;
            if (ink) c.fill(acrossRows ? Rect{box.x + j, box.y + i, 1, 1} : Rect{box.x + i, box.y + j, 1, 1}, colour);
        }
    }
}

}  // namespace

void checkMark(Canvas& c, const Rect& inside, Rgb colour, const Density& d) {
    if (d.whole()) {
        const int size = d.scale(7);
        return pattern(c, kCheck, 7, inside.x + (inside.w - size) / 2, inside.y + (inside.h - size) / 2, colour, d);
    }
    // Down from (0, 3) to (2, 5), then up to (6, 1): three cells high.
    strokes(c, classic::inset(inside, 1), 7, 7, false, 3.0, colour, [](double x, double* line) {
        line[0] = x <= 2 ? 3 + x : 7 - x;
        return 1;
    });
}

void closeCross(Canvas& c, int x0, int y0, Rgb colour, const Density& d) {
    if (d.whole()) return pattern(c, kCross, 7, x0, y0, colour, d);
    // The diagonals from (0.5, 0) to (6.5, 6) and from (6.5, 0) to (0.5, 6): two cells wide.
    strokes(c, Rect{x0, y0, d.scale(8), d.scale(7)}, 8, 7, true, 2.0, colour, [](double y, double* line) {
        line[0] = y + 0.5;
        line[1] = 6.5 - y;
        return 2;
    });
}

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
