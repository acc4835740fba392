// Pictures drawn larger for other densities: pixel for pixel at a whole
// factor, area-weighted in between, only within the clip; and dotted focus
// rings of thicker dots.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures/Pixels.h"
#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/Resample.h"

using namespace sysaccess::paint;

namespace {

const Rgb White{255, 255, 255}, Black{0, 0, 0}, Red{255, 0, 0};

Image blank(int w, int h, Rgb c = White) { return Image{w, h, std::vector<Rgb>(static_cast<std::size_t>(w * h), c)}; }

// A picture of hard-edged colours: every pixel differs from its neighbours.
Image checkered(int w, int h) {
    Image img = blank(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels[static_cast<std::size_t>(y) * w + x] =
                Rgb{static_cast<std::uint8_t>(x * 37 % 256), static_cast<std::uint8_t>(y * 53 % 256),
                    static_cast<std::uint8_t>((x + y) % 2 * 255)};
    return img;
}

Image resampled(const Image& picture, int w, int h) {
    Image out = blank(w, h, Red);
    drawResampled(out, Rect{0, 0, w, h}, picture, 0, 0, w, h);
    return out;
}

}  // namespace

TEST(Resample, AWholeFactorGrowsEveryPixelIntoASquare) {
    const Image pic = checkered(7, 5);
    for (int k : {1, 2, 3}) {
        const Image big = resampled(pic, 7 * k, 5 * k);
        for (int y = 0; y < 5 * k; ++y)
            for (int x = 0; x < 7 * k; ++x) ASSERT_EQ(big.at(x, y), pic.at(x / k, y / k)) << k << ": " << x << "," << y;
    }
}

TEST(Resample, HalfAgainAsLargeMixesOnlyWhereTwoPixelsMeet) {
    // Black, white, black, white: at 1.5 times each pair of pixels becomes
    // three, the middle one half of each.
    Image stripes = blank(4, 1);
    stripes.pixels[0] = stripes.pixels[2] = Black;
    const Image out = resampled(stripes, 6, 1);
    const std::uint8_t expected[] = {0, 128, 255, 0, 128, 255};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(out.at(x, 0).r, expected[x]) << x;
    // Over a whole picture: each pixel drawn is a mean of the picture pixels
    // under it, so it lies within their range, and every pixel is drawn.
    const Image pic = checkered(13, 9);
    const Image mid = resampled(pic, 20, 14);  // 13 * 1.5 = 19.5 and 9 * 1.5 = 13.5, rounded up
    EXPECT_EQ(fixtures::countColour(mid, Red), 0);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 20; ++x) {
            const int sx0 = x * 13 / 20, sx1 = ((x + 1) * 13 - 1) / 20, sy0 = y * 9 / 14, sy1 = ((y + 1) * 9 - 1) / 14;
            int lo = 255, hi = 0;
            for (int sy = sy0; sy <= sy1; ++sy)
                for (int sx = sx0; sx <= sx1; ++sx) lo = std::min<int>(lo, pic.at(sx, sy).g), hi = std::max<int>(hi, pic.at(sx, sy).g);
            ASSERT_GE(mid.at(x, y).g, lo) << x << "," << y;
            ASSERT_LE(mid.at(x, y).g, hi) << x << "," << y;
        }
}

TEST(Resample, OnlyTheClipIsDrawnAndItMatchesTheWhole) {
    const Image pic = checkered(40, 30);
    const Image whole = resampled(pic, 60, 45);
    // A box of 10 x 8 at (25, 20) of a picture placed at (-5, -3).
    Image part = blank(30, 30, Red);
    Canvas(part).sub(Rect{5, 5, 10, 8}).picture(pic, -25, -20, 60, 45);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool in = x >= 5 && x < 15 && y >= 5 && y < 13;
            ASSERT_EQ(part.at(x, y), in ? whole.at(x - 5 + 25, y - 5 + 20) : Red) << x << "," << y;
        }
    // A picture without its pixels, or drawn to nothing, draws nothing.
    Image untouched = blank(4, 4, Red);
    drawResampled(untouched, Rect{0, 0, 4, 4}, Image{8, 8, {}}, 0, 0, 4, 4);
    drawResampled(untouched, Rect{0, 0, 4, 4}, pic, 0, 0, 0, 4);
    EXPECT_EQ(fixtures::countColour(untouched, Red), 16);
}

TEST(Canvas, DottedRingsOfThickerDotsAreTheThinRingGrown) {
    // A ring of 2-pixel dots round a 12 x 8 rectangle is the 6 x 4 ring of
    // single dots with each pixel a square of four.
    Image thin = blank(6, 4), thick = blank(12, 8);
    Canvas(thin).dottedOutline(Rect{0, 0, 6, 4}, Black);
    Canvas(thick).dottedOutline(Rect{0, 0, 12, 8}, Black, 2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(thick.at(x, y), thin.at(x / 2, y / 2)) << x << "," << y;
    // Cells at the far edges are cut by the rectangle, never drawn outside it.
    Image odd = blank(9, 9);
    Canvas(odd).dottedOutline(Rect{0, 0, 7, 7}, Black, 2);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(odd.at(7, i), White);
        EXPECT_EQ(odd.at(i, 7), White);
    }
    EXPECT_GT(fixtures::countColour(odd, Black), 0);
}
