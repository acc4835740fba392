// The X11 driver draws at the density the desktop set in the X resources.
#include <gtest/gtest.h>

#include "sysaccess/drivers/x11/XState.h"  // before XCursor.h: it brings Xlib after the toolkit's names
#include "sysaccess/drivers/x11/XCursor.h"

TEST(XResources, XftDpiGivesTheDensity) {
    using sysaccess::drivers::x11::resourceDpi;
    EXPECT_EQ(resourceDpi(static_cast<const char*>(nullptr)), 96);
    EXPECT_EQ(resourceDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
    EXPECT_EQ(resourceDpi("Xft.dpi: 143.9"), 144);
    EXPECT_EQ(resourceDpi("*background:\tgrey\nXft.dpi:\tlarge\n"), 96);   // no number
    EXPECT_EQ(resourceDpi("Xft.dpiExtra:\t200\nXterm.Xft.dpi:\t300\n"), 96);  // other names
    EXPECT_EQ(resourceDpi("Xft.dpi:\t120\nXft.dpi:\t144\n"), 144);          // the last one counts
}

TEST(XResources, TheCursorGrowsWithTheDensityWithItsHotSpotAndMask) {
    using sysaccess::drivers::x11::CursorPicture;
    using sysaccess::paint::Density;
    CursorPicture hand;
    hand.image.width = 3, hand.image.height = 2;
    for (int i = 0; i < 6; ++i) hand.image.pixels.push_back({static_cast<std::uint8_t>(i * 40), 0, 0});
    hand.transparent = {0, 1, 0, 1, 0, 0};
    hand.hotX = 2, hand.hotY = 1;
    // At 192 dpi each pixel is a square of four.
    const CursorPicture big = sysaccess::drivers::x11::scaled(hand, Density(192));
    ASSERT_EQ(big.image.width, 6);
    ASSERT_EQ(big.image.height, 4);
    EXPECT_EQ(big.hotX, 4);
    EXPECT_EQ(big.hotY, 2);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(big.image.at(x, y), hand.image.at(x / 2, y / 2)) << x << "," << y;
            EXPECT_EQ(big.transparent[static_cast<std::size_t>(y) * 6 + x], hand.transparent[(y / 2) * 3 + x / 2]);
        }
    }
    EXPECT_EQ(sysaccess::drivers::x11::scaled(hand, Density(96)).image.pixels, hand.image.pixels);
    // At 144 dpi half as large again: 5 x 3, every column and row of the
    // picture there, pixels and mask together, the hot spot on its pixel.
    const CursorPicture mid = sysaccess::drivers::x11::scaled(hand, Density(144));
    ASSERT_EQ(mid.image.width, 5);
    ASSERT_EQ(mid.image.height, 3);
    const int columns[] = {0, 0, 1, 1, 2}, rows[] = {0, 0, 1};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(mid.image.at(x, y), hand.image.at(columns[x], rows[y])) << x << "," << y;
            EXPECT_EQ(mid.transparent[static_cast<std::size_t>(y) * 5 + x], hand.transparent[rows[y] * 3 + columns[x]]);
        }
    EXPECT_EQ(mid.image.at(mid.hotX, mid.hotY), hand.image.at(2, 1));
}
