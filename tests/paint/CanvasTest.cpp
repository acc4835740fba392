// Drawing primitives: clipping, wide lines with round ends, pictures, the look's marks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "fixtures/Pixels.h"
#include "sysaccess/paint/Canvas.h"
#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/Png.h"

using namespace sysaccess::paint;

using fixtures::countColour;

namespace {
const Rgb White{255, 255, 255}, Red{255, 0, 0};
Image blank(int w, int h) { return Image{w, h, std::vector<Rgb>(static_cast<std::size_t>(w * h), White)}; }
}  // namespace

TEST(Canvas, SurfacesClipToEveryContainerAndNegativePositions) {
    Image img = blank(20, 20);
    Canvas whole(img);
    Canvas box = whole.sub({5, 5, 10, 10});
    Canvas inner = box.sub({-3, -3, 6, 6});  // partly outside its container
    inner.fill({0, 0, 100, 100}, Red);
    EXPECT_EQ(countColour(img, Red), 9);
    EXPECT_EQ(img.at(5, 5), Red);
    EXPECT_EQ(img.at(7, 7), Red);
    EXPECT_EQ(img.at(4, 5), White);
    EXPECT_EQ(img.at(8, 8), White);
    EXPECT_TRUE(box.sub({20, 20, 5, 5}).hidden());

    Image pic = blank(8, 8);
    for (auto& p : pic.pixels) p = Rgb{1, 2, 3};
    box.picture(pic, 6, -2);  // only the part inside the box shows
    EXPECT_EQ(countColour(img, Rgb{1, 2, 3}), 4 * 6);
    Image broken{4, 4, {}};
    box.picture(broken, 0, 0);  // pixels missing: nothing drawn, no crash
}

TEST(Canvas, WideLinesHaveRoundEndsAndThinLinesIncludeBothEnds) {
    Image img = blank(40, 40);
    Canvas c(img);
    c.line(10, 20, 30, 20, 8, Red);
    // Round ends reach half the width beyond the end points, on the axis only.
    EXPECT_EQ(img.at(6, 20), Red);
    EXPECT_EQ(img.at(34, 20), Red);
    EXPECT_EQ(img.at(35, 20), White);
    EXPECT_EQ(img.at(6, 17), White);   // a square end would fill this corner
    EXPECT_EQ(img.at(20, 16), Red);
    EXPECT_EQ(img.at(20, 25), White);

    Image thin = blank(10, 10);
    Canvas(thin).line(1, 1, 8, 5, 1, Red);
    EXPECT_EQ(thin.at(1, 1), Red);
    EXPECT_EQ(thin.at(8, 5), Red);
    EXPECT_EQ(countColour(thin, Red), 8);

    // A huge pen far outside costs nothing and draws nothing.
    Image small = blank(4, 4);
    Canvas(small).sub({0, 0, 2, 2}).line(-100000, -4, 100000, -4, 9, Red);
    EXPECT_EQ(countColour(small, Red), 2);
}

TEST(Classic, TwipsRoundToTheNearestPixelOnBothSidesOfZero) {
    EXPECT_EQ(classic::pixels(0), 0);
    EXPECT_EQ(classic::pixels(7), 0);
    EXPECT_EQ(classic::pixels(8), 1);
    EXPECT_EQ(classic::pixels(310), 21);
    EXPECT_EQ(classic::pixels(135), 9);
    EXPECT_EQ(classic::pixels(-120), -8);
    EXPECT_EQ(classic::pixels(-245), -16);
    EXPECT_EQ(classic::pixels(-7), 0);
    EXPECT_EQ(classic::pixels(-8), -1);
}

TEST(Png, WritesAValidStoredStream) {
    Image img = blank(300, 300);  // more than one stored block
    const std::string png = encodePng(img);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    EXPECT_GT(png.size(), 300u * 300u * 3u);
    EXPECT_THROW(encodePng(Image{2, 2, {}}), std::invalid_argument);
}

TEST(Classic, MarksKeepAnEvenThicknessBetweenWholeDensities) {
    const Rgb Black{0, 0, 0};
    // Each column of the tick is one run of ink three pixels of 96 dpi high,
    // 4 or 5 pixels at 144 dpi, inside the square's white but for a pixel all
    // round.
    Image tick = blank(12, 12);
    Canvas ontick(tick);
    classic::checkMark(ontick, Rect{0, 0, 12, 12}, Black, Density(144));
    std::vector<int> tops;
    for (int x = 0; x < 12; ++x) {
        int runs = 0, ink = 0;
        for (int y = 0; y < 12; ++y) {
            const bool on = tick.at(x, y) == Black;
            ink += on;
            runs += on && (y == 0 || tick.at(x, y - 1) != Black);
            if (on && runs == 1 && ink == 1) tops.push_back(y);
            if (x == 0 || x == 11 || y == 0 || y == 11) {
                EXPECT_FALSE(on) << x << "," << y;
            }
        }
        if (x == 0 || x == 11) continue;
        EXPECT_EQ(runs, 1) << x;
        EXPECT_GE(ink, 4) << x;
        EXPECT_LE(ink, 5) << x;
    }
    // Its strokes climb a pixel a column, down to the turn and up after it.
    ASSERT_EQ(tops.size(), 10u);
    int turns = 0;
    for (std::size_t i = 1; i < tops.size(); ++i) {
        EXPECT_LE(std::abs(tops[i] - tops[i - 1]), 1) << i;
        turns += tops[i] - tops[i - 1] != (i < 3 ? 1 : -1);
    }
    EXPECT_LE(turns, 1);
    // Each row of the cross away from its middle holds its two diagonals, 3
    // pixels wide each at 144 dpi (2 at 96).
    Image cross = blank(12, 11);
    Canvas oncross(cross);
    classic::closeCross(oncross, 0, 0, Black, Density(144));
    for (int y : {0, 1, 9, 10}) {
        int ink = 0;
        for (int x = 0; x < 12; ++x) ink += cross.at(x, y) == Black;
        EXPECT_EQ(ink, 6) << y;
    }
    // At a whole density the marks are the classic patterns grown.
    Image tick96 = blank(9, 9), tick192 = blank(18, 18);
    Canvas ontick96(tick96);
    classic::checkMark(ontick96, Rect{0, 0, 9, 9}, Black, Density(96));
    Canvas ontick192(tick192);
    classic::checkMark(ontick192, Rect{0, 0, 18, 18}, Black, Density(192));
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) ASSERT_EQ(tick192.at(x, y), tick96.at(x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(countColour(tick96, Black), 21);
}
