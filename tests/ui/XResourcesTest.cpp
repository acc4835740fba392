// The X11 driver draws at the density the desktop set in the X resources.
#include <gtest/gtest.h>

#include "sysaccess/drivers/x11/XState.h"

TEST(XResources, XftDpiGivesTheDensity) {
    using sysaccess::drivers::x11::resourceDpi;
    EXPECT_EQ(resourceDpi(static_cast<const char*>(nullptr)), 96);
    EXPECT_EQ(resourceDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
    EXPECT_EQ(resourceDpi("Xft.dpi: 143.9"), 144);
    EXPECT_EQ(resourceDpi("*background:\tgrey\nXft.dpi:\tlarge\n"), 96);   // no number
    EXPECT_EQ(resourceDpi("Xft.dpiExtra:\t200\nXterm.Xft.dpi:\t300\n"), 96);  // other names
    EXPECT_EQ(resourceDpi("Xft.dpi:\t120\nXft.dpi:\t144\n"), 144);          // the last one counts
}
