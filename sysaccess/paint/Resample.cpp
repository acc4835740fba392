#include "sysaccess/paint/Resample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sysaccess::paint {

namespace {

// How the picture pixels lie under one pixel drawn, along one axis: their
// indexes and the length each covers, in units of 1/`to` of a picture pixel
// (so that a drawn pixel is `from` units long and every length is whole).
struct Span {
    int first = 0;                   // the first picture pixel under it
    std::vector<long long> weights;  // the lengths under it, from `first` on
};

Span span(int at, int from, int to) {
    // The drawn pixel covers [at * from, (at + 1) * from); picture pixel i
    // covers [i * to, (i + 1) * to).
    const long long begin = static_cast<long long>(at) * from, end = begin + from;
    Span s;
    s.first = static_cast<int>(begin / to);
    for (long long i = s.first; i * to < end && i < from; ++i) {
        const long long lo = std::max(begin, i * to), hi = std::min(end, (i + 1) * to);
        s.weights.push_back(hi - lo);
    }
    return s;
}

}  // namespace

void drawResampled(Image& target, const Rect& clip, const Image& picture, int x, int y, int width, int height) {
    if (picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        return;
    Rect a = Rect{x, y, width, height};
    const int x0 = std::max({a.x, clip.x, 0}), y0 = std::max({a.y, clip.y, 0});
    const int x1 = std::min({a.x + a.w, clip.x + clip.w, target.width});
    const int y1 = std::min({a.y + a.h, clip.y + clip.h, target.height});
    if (x0 >= x1 || y0 >= y1) return;
    // The columns' spans once; each row's as it comes.
    std::vector<Span> columns;
    columns.reserve(static_cast<std::size_t>(x1 - x0));
    for (int px = x0; px < x1; ++px) columns.push_back(span(px - x, picture.width, width));
    const long long whole = static_cast<long long>(picture.width) * picture.height;
    for (int py = y0; py < y1; ++py) {
        const Span row = span(py - y, picture.height, height);
        Rgb* out = &target.pixels[static_cast<std::size_t>(py) * target.width];
        for (int px = x0; px < x1; ++px) {
            const Span& col = columns[static_cast<std::size_t>(px - x0)];
            long long r = 0, g = 0, b = 0;
            for (std::size_t j = 0; j < row.weights.size(); ++j) {
                const Rgb* in = &picture.pixels[static_cast<std::size_t>(row.first + static_cast<int>(j)) * picture.width];
                for (std::size_t i = 0; i < col.weights.size(); ++i) {
                    const Rgb c = in[col.first + static_cast<int>(i)];
                    const long long w = row.weights[j] * col.weights[i];
                    r += c.r * w, g += c.g * w, b += c.b * w;
                }
            }
            const auto mean = [whole](long long sum) { return static_cast<std::uint8_t>((sum + whole / 2) / whole); };
            out[px] = Rgb{mean(r), mean(g), mean(b)};
        }
    }
}

}  // namespace sysaccess::paint
