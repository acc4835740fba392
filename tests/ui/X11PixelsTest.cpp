// What the X11 driver computes without a display: the rectangles it sends
// after a change, the window icon data and two-colour cursors.
#include <gtest/gtest.h>

#include "sysaccess/drivers/x11/Pixels.h"
#include "sysaccess/drivers/x11/XCursor.h"

using namespace sysaccess::drivers::x11;
using sysaccess::paint::Image;
using sysaccess::paint::Rect;
using sysaccess::paint::Rgb;

namespace {

Image filled(int w, int h, Rgb c = {192, 192, 192}) {
    return Image{w, h, std::vector<Rgb>(static_cast<std::size_t>(w * h), c)};
}
void set(Image& img, int x, int y, Rgb c) { img.pixels[static_cast<std::size_t>(y * img.width + x)] = c; }

}  // namespace

TEST(X11Pixels, ChangedRectsCoverExactlyWhatChanged) {
    const Image before = filled(100, 80);
    EXPECT_TRUE(changedRects(before, before).empty());

    Image one = before;
    set(one, 7, 9, {0, 0, 128});
    EXPECT_EQ(changedRects(before, one), (std::vector<Rect>{{7, 9, 1, 1}}));

    // A title bar and a label far below: two bands, not one covering the window.
    Image two = before;
    for (int x = 3; x < 90; ++x) set(two, x, 5, {0, 0, 128});
    set(two, 40, 60, {0, 255, 0});
    set(two, 45, 62, {0, 255, 0});
    EXPECT_EQ(changedRects(before, two), (std::vector<Rect>{{3, 5, 87, 1}, {40, 60, 6, 3}}));

    // A new size, or a first picture, repaints everything.
    EXPECT_EQ(changedRects(Image{}, before), (std::vector<Rect>{{0, 0, 100, 80}}));
    EXPECT_EQ(changedRects(filled(10, 10), before), (std::vector<Rect>{{0, 0, 100, 80}}));

    // Many scattered changes collapse into their bounding box.
    Image many = before;
    for (int y = 0; y < 80; y += 8) set(many, y, y, {255, 0, 0});
    EXPECT_EQ(changedRects(before, many), (std::vector<Rect>{{0, 0, 73, 73}}));
}

TEST(X11Pixels, IconDataIsSizeThenArgbWithTransparency) {
    Image img = filled(2, 1, {0x12, 0x34, 0x56});
    std::vector<std::uint8_t> mask{0, 1};
    EXPECT_EQ(netWmIcon(img, &mask), (std::vector<unsigned long>{2, 1, 0xFF123456ul, 0x00123456ul}));
    EXPECT_EQ(netWmIcon(img), (std::vector<unsigned long>{2, 1, 0xFF123456ul, 0xFF123456ul}));
    std::vector<std::uint8_t> shortMask{1};  // does not fit: ignored, never read past
    EXPECT_EQ(netWmIcon(img, &shortMask)[3], 0xFF123456ul);
    EXPECT_TRUE(netWmIcon(Image{}).empty());
}

TEST(X11Pixels, TwoColourCursorKeepsShapeAndDarkPixels) {
    CursorPicture p;
    p.image = filled(10, 2, {255, 255, 255});
    set(p.image, 0, 0, {0, 0, 0});      // dark outline
    set(p.image, 9, 1, {0, 0, 160});    // blue cuff counts as dark
    p.transparent.assign(20, 0);
    p.transparent[1] = 1;               // see-through
    const CursorBitmaps b = cursorBitmaps(p);
    ASSERT_EQ(b.bytesPerRow, 2);
    EXPECT_EQ(b.mask, (std::vector<unsigned char>{0xFD, 0x03, 0xFF, 0x03}));
    EXPECT_EQ(b.source, (std::vector<unsigned char>{0x01, 0x00, 0x00, 0x02}));
}
