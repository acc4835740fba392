#include "sysaccess/paint/Canvas.h"

#include "sysaccess/paint/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sysaccess::paint {

Rect intersect(const Rect& a, const Rect& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (x1 <= x0 || y1 <= y0) return Rect{x0, y0, 0, 0};
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

Canvas::Canvas(Image& image) : image_(&image), clip_{0, 0, image.width, image.height} {}

Canvas Canvas::sub(const Rect& local) const {
    Canvas c = *this;
    c.ox_ = ox_ + local.x;
    c.oy_ = oy_ + local.y;
    c.clip_ = intersect(clip_, Rect{c.ox_, c.oy_, local.w, local.h});
    return c;
}

void Canvas::fill(const Rect& r, Rgb colour) {
    const Rect a = intersect(clip_, Rect{ox_ + r.x, oy_ + r.y, r.w, r.h});
    if (a.w <= 0 || a.h <= 0) return;
    // The first row is filled pixel by pixel, the others are copies of it:
    // three-byte pixels fill slowly, bytes copy fast.
    Rgb* first = image_->pixels.data() + static_cast<std::ptrdiff_t>(a.y) * image_->width + a.x;
    std::fill(first, first + a.w, colour);
    for (int y = 1; y < a.h; ++y)
        std::memcpy(first + static_cast<std::ptrdiff_t>(y) * image_->width, first, sizeof(Rgb) * static_cast<std::size_t>(a.w));
}

void Canvas::pixel(int x, int y, Rgb colour) {
    x += ox_, y += oy_;
    if (clip_.contains(x, y)) image_->pixels[static_cast<std::size_t>(y) * image_->width + x] = colour;
}

void Canvas::blend(int x, int y, Rgb colour, std::uint8_t alpha) {
    x += ox_, y += oy_;
    if (alpha == 0 || !clip_.contains(x, y)) return;
    Rgb& p = image_->pixels[static_cast<std::size_t>(y) * image_->width + x];
    const auto mix = [alpha](std::uint8_t under, std::uint8_t over) {
        return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
    };
    p = Rgb{mix(p.r, colour.r), mix(p.g, colour.g), mix(p.b, colour.b)};
}

void Canvas::bevel(const Rect& r, Rgb topLeft, Rgb bottomRight) {
    if (r.w <= 0 || r.h <= 0) return;
    fill(Rect{r.x, r.y + r.h - 1, r.w, 1}, bottomRight);
    fill(Rect{r.x + r.w - 1, r.y, 1, r.h}, bottomRight);
    fill(Rect{r.x, r.y, r.w - 1, 1}, topLeft);
    fill(Rect{r.x, r.y, 1, r.h - 1}, topLeft);
}

void Canvas::dottedOutline(const Rect& r, Rgb colour, int dot) {
    if (r.w <= 0 || r.h <= 0) return;
    dot = std::max(dot, 1);
    // The ring as cells of `dot` pixels, walked once so that the dots stay in
    // step around the corners; cells at the far edges are cut by the rectangle.
    const int columns = (r.w + dot - 1) / dot, rows = (r.h + dot - 1) / dot;
    const auto cell = [&](int i, int j) {
        fill(intersect(Rect{r.x + i * dot, r.y + j * dot, dot, dot}, r), colour);
    };
    int step = 0;
    const auto at = [&](int i, int j) {
        if (step++ % 2 == 0) cell(i, j);
    };
    for (int i = 0; i < columns; ++i) at(i, 0);
    for (int j = 1; j < rows; ++j) at(columns - 1, j);
    for (int i = columns - 2; i >= 0; --i) at(i, rows - 1);
    for (int j = rows - 2; j > 0; --j) at(0, j);
}

void Canvas::line(int x1, int y1, int x2, int y2, int width, Rgb colour) {
    if (width <= 1) {
        // Bresenham, both ends included.
        const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
        const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            pixel(x1, y1, colour);
            if (x1 == x2 && y1 == y2) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x1 += sx;
            if (e2 <= dx) err += dx, y1 += sy;
        }
        return;
    }
    // A wide pen: every pixel whose centre lies within half the width of the
    // segment, which gives the round ends.
    const double r = width / 2.0;
    const int pad = width / 2 + 1;
    // Only the pixels inside the clip are looked at.
    const int left = std::max(std::min(x1, x2) - pad, clip_.x - ox_);
    const int right = std::min(std::max(x1, x2) + pad, clip_.x + clip_.w - 1 - ox_);
    const int top = std::max(std::min(y1, y2) - pad, clip_.y - oy_);
    const int bottom = std::min(std::max(y1, y2) + pad, clip_.y + clip_.h - 1 - oy_);
    const double vx = x2 - x1, vy = y2 - y1, len2 = vx * vx + vy * vy;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            double t = len2 > 0 ? ((x - x1) * vx + (y - y1) * vy) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = x1 + t * vx - x, ey = y1 + t * vy - y;
            if (ex * ex + ey * ey <= r * r) pixel(x, y, colour);
        }
    }
}

void Canvas::picture(const Image& picture, int x, int y) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        return;
    const Rect a = intersect(clip_, Rect{ox_ + x, oy_ + y, picture.width, picture.height});
    for (int py = a.y; py < a.y + a.h; ++py) {
        const int sy = py - (oy_ + y);
        const int sx = a.x - (ox_ + x);
        auto src = picture.pixels.begin() + static_cast<std::ptrdiff_t>(sy) * picture.width + sx;
        auto dst = image_->pixels.begin() + static_cast<std::ptrdiff_t>(py) * image_->width + a.x;
        std::copy(src, src + a.w, dst);
    }
}

void Canvas::picture(const Image& picture, int x, int y, int width, int height) {
    if (width == picture.width && height == picture.height) return this->picture(picture, x, y);
    // Only the part inside the clip is computed: a large picture in a small
    // box costs the box, not the picture.
    drawResampled(*image_, clip_, picture, ox_ + x, oy_ + y, width, height);
}

}  // namespace sysaccess::paint
