// Drawing primitives: clipping, wide lines with round ends, pictures.
#include <gtest/gtest.h>

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
