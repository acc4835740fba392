// The checker's windows at 192 dots per inch: every window exactly twice as
// large as at 96, its controls where the twips put them, clicks landing on
// the same controls, the title scroll's bounds unchanged.
#include <climits>

#include "fixtures/Pixels.h"
#include "CheckerHarness.h"
#include "sysaccess/ui/Control.h"

using checker_test::CheckerRun;
using checker_test::Contacts;
using sysaccess::paint::Image;
using sysaccess::paint::Rgb;

using fixtures::ColourBox;
using fixtures::findColour;

namespace {

const Rgb Red{255, 0, 0}, Navy{0, 0, 128};

}  // namespace

TEST(CheckerAt192Dpi, EveryWindowIsExactlyTwiceAsLarge) {
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        const int k = dpi / 96;
        CheckerRun run;
        run.driver.setDpi(dpi);
        run.prefix.file("A:\\Busprobe.dat", Contacts);
        run.start();
        const Image logo = run.driver.screenshot("frmLogo");
        EXPECT_EQ(logo.width, k * (489 + 6));
        EXPECT_EQ(logo.height, k * (276 + 6));
        // The raised dialog frame: white on its second ring, grey on the inside of its bottom edge.
        EXPECT_EQ(logo.at(k, k), (Rgb{255, 255, 255}));
        EXPECT_EQ(logo.at(logo.width - 1 - k, logo.height - 1 - k), (Rgb{128, 128, 128}));
        run.driver.click("frmLogo");
        const Image wrong = run.driver.screenshot("frmWrong");
        EXPECT_EQ(wrong.width, k * (409 + 6));
        EXPECT_EQ(wrong.height, k * (280 + 6 + 19));
        // The title bar fills the top 18 (36) rows inside the frame.
        EXPECT_EQ(findColour(wrong, Navy, 0, 0, wrong.width, wrong.height / 4).y1, k * (3 + 18) - 1);
    }
}

TEST(CheckerAt192Dpi, TheRedCrossAndTheVerdictLieWhereTheTwipsPutThem) {
    CheckerRun run;
    run.driver.setDpi(192);
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    run.driver.click("frmLogo");
    ASSERT_TRUE(run.driver.form("frmWrong"));
    const Image on = run.driver.screenshot("frmWrong", false);
    // The logo box: (1560, -120) twips: (208, -16) pixels, 370 x 178, cut by the top edge.
    const ColourBox cross = findColour(on, Red, 0, 0, 818, 162);
    EXPECT_GT(cross.count, 4000);
    EXPECT_GE(cross.x0, 208);
    EXPECT_LE(cross.x1, 208 + 370 - 1);
    // The lines run from (720, 240) to (2400, 1200) twips in the box, 28 pixels wide.
    EXPECT_EQ(on.at(208 + 208, -16 + 96), Red);  // where they cross
    EXPECT_NEAR(cross.x0, 208 + 96 - 14, 2);
    // The verdict: Label1 of Frame1, (240, 1800) twips: (32, 240), 754 x 66.
    const ColourBox verdict = findColour(on, Red, 0, 200, 818, 200);
    EXPECT_GT(verdict.count, 800);
    EXPECT_GE(verdict.x0, 32);
    EXPECT_GE(verdict.y0, 240);
    EXPECT_LE(verdict.y1, 240 + 66 - 1);
    // Its letters are twice as tall as at 96 dpi (14.25 points: 38 pixels, not 19).
    EXPECT_GE(verdict.y1 - verdict.y0, 2 * 12);
}

TEST(CheckerAt192Dpi, TheScrollBoundsStayInTwips) {
    CheckerRun run;
    run.driver.setDpi(192);
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.registry({"Enum\\USB\\ROOT_HUB\\PCI0"});
    run.start();
    // A click at a pixel of the brand window's picture (960 x 1320 twips in).
    run.driver.clickAt("frmLogo", 128, 176);
    ASSERT_TRUE(run.driver.form("frmGood"));
    auto& good = run.window("frmGood");
    EXPECT_EQ(good.ScaleWidth, 6120);
    // A cycle of the title lasts as many 100 ms ticks as the client width in
    // twips makes steps of 50, at any density: 123 ticks for 6120.
    int restarts = 0;
    std::uint64_t first = 0, second = 0;
    for (int tick = 0; tick < 400 && restarts < 3; ++tick) {
        run.driver.advance(100);
        if (good.Caption == "t") {
            ++restarts;
            (restarts == 2 ? first : second) = run.driver.clock();
        }
    }
    ASSERT_EQ(restarts, 3);
    EXPECT_EQ(second - first, 12300u);
}
