#include "sysaccess/drivers/x11/Pixels.h"

#include <algorithm>
#include <cstring>

namespace sysaccess::drivers::x11 {

namespace {
// More rectangles than this cost more round trips than they save.
constexpr std::size_t MaxRects = 8;
// Unchanged rows shorter than this between two changed ones do not split a band.
constexpr int BandGap = 4;
}  // namespace

std::vector<paint::Rect> changedRects(const paint::Image& before, const paint::Image& after) {
    if (after.width <= 0 || after.height <= 0) return {};
    if (before.width != after.width || before.height != after.height ||
        before.pixels.size() != after.pixels.size()) {
        return {paint::Rect{0, 0, after.width, after.height}};
    }
    const auto w = static_cast<std::size_t>(after.width);
    std::vector<paint::Rect> rects;
    paint::Rect band;
    int lastChangedRow = -1;
    auto closeBand = [&] {
        if (lastChangedRow >= 0) rects.push_back(band);
        lastChangedRow = -1;
    };
    for (int y = 0; y < after.height; ++y) {
        const paint::Rgb* a = before.pixels.data() + static_cast<std::size_t>(y) * w;
        const paint::Rgb* b = after.pixels.data() + static_cast<std::size_t>(y) * w;
        if (std::memcmp(a, b, w * sizeof(paint::Rgb)) == 0) continue;
        int lo = 0, hi = after.width - 1;
        while (a[lo] == b[lo]) ++lo;
        while (a[hi] == b[hi]) --hi;
        if (lastChangedRow >= 0 && y - lastChangedRow <= BandGap) {
            const int right = std::max(band.x + band.w, hi + 1);
            band.x = std::min(band.x, lo);
            band.w = right - band.x;
            band.h = y + 1 - band.y;
        } else {
            closeBand();
            band = paint::Rect{lo, y, hi + 1 - lo, 1};
        }
        lastChangedRow = y;
    }
    closeBand();
    if (rects.size() > MaxRects) {
        paint::Rect all = rects.front();
        for (const auto& r : rects) {
            const int right = std::max(all.x + all.w, r.x + r.w);
            const int bottom = std::max(all.y + all.h, r.y + r.h);
            all.x = std::min(all.x, r.x);
            all.y = std::min(all.y, r.y);
            all.w = right - all.x;
            all.h = bottom - all.y;
        }
        rects = {all};
    }
    return rects;
}

std::vector<unsigned long> netWmIcon(const paint::Image& image, const std::vector<std::uint8_t>* transparent) {
    const std::size_t n = static_cast<std::size_t>(std::max(image.width, 0)) *
                          static_cast<std::size_t>(std::max(image.height, 0));
    if (n == 0 || image.pixels.size() < n) return {};
    const bool masked = transparent && transparent->size() >= n;
    std::vector<unsigned long> data;
    data.reserve(n + 2);
    data.push_back(static_cast<unsigned long>(image.width));
    data.push_back(static_cast<unsigned long>(image.height));
    for (std::size_t i = 0; i < n; ++i) {
        const paint::Rgb p = image.pixels[i];
        const unsigned long alpha = masked && (*transparent)[i] ? 0 : 0xFF;
        data.push_back(alpha << 24 | static_cast<unsigned long>(p.r) << 16 |
                       static_cast<unsigned long>(p.g) << 8 | p.b);
    }
    return data;
}

}  // namespace sysaccess::drivers::x11
