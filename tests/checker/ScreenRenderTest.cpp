// The checker's windows as the renderer draws them: pixels that the layouts fix.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "fixtures/Pixels.h"
#include "CheckerHarness.h"
#include "sysaccess/paint/Png.h"
#include "sysaccess/ui/Control.h"

using checker_test::CheckerRun;
using checker_test::Contacts;
using sysaccess::paint::Image;
using sysaccess::paint::Rgb;

using fixtures::ColourBox;
using fixtures::findColour;

namespace {

const Rgb Red{255, 0, 0}, Blue{0, 0, 255}, Green{0, 255, 0}, Grey{128, 128, 128}, Face{192, 192, 192};

// Keeps a screenshot for looking at when SCREENSHOT_DIR names a folder.
void keep(const Image& image, const std::string& name) {
    if (const char* dir = std::getenv("SCREENSHOT_DIR")) {
        std::ofstream(std::string(dir) + "/" + name + ".png", std::ios::binary)
            << sysaccess::paint::encodePng(image);
    }
}

void toVerdict(CheckerRun& run, bool usb) {
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    if (usb) run.registry({"Enum\\USB\\ROOT_HUB\\PCI0"});
    run.start();
    run.driver.click("frmLogo");
}

}  // namespace

TEST(CheckerScreens, WindowFramesGiveTheExactClientSizes) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    const Image logo = run.driver.screenshot("frmLogo");
    keep(logo, "frmLogo");
    EXPECT_EQ(logo.width, 489 + 6);  // no title bar: only the 3-pixel dialog border
    EXPECT_EQ(logo.height, 276 + 6);
    EXPECT_EQ(logo.at(0, 0), Face);
    EXPECT_EQ(logo.at(1, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(logo.at(logo.width - 1, logo.height - 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(logo.at(logo.width - 2, logo.height - 2), Grey);
    const Image client = run.driver.screenshot("frmLogo", false);
    EXPECT_EQ(client.width, 489);
    EXPECT_EQ(client.height, 276);

    run.driver.click("frmLogo");
    const Image wrong = run.driver.screenshot("frmWrong");
    keep(wrong, "frmWrong");
    EXPECT_EQ(wrong.width, 409 + 6);
    EXPECT_EQ(wrong.height, 280 + 6 + 19);
    EXPECT_EQ(wrong.at(10, 10), (Rgb{0, 0, 128}));  // the active title bar
    run.window("frmWrong").Caption = "USB Check Result";
    const Image titled = run.driver.screenshot("frmWrong");
    EXPECT_GT(findColour(titled, Rgb{255, 255, 255}, 3, 3, 100, 18).count, 20);  // the caption's white letters
}

TEST(CheckerScreens, RedCrossLiesInsideTheLogoAndBlinksWithTheVerdictText) {
    CheckerRun run;
    toVerdict(run, false);
    ASSERT_TRUE(run.driver.form("frmWrong"));
    const Image on = run.driver.screenshot("frmWrong", false);
    // The logo box: (1560, -120) twips, 185 x 89 pixels, cut by the top edge.
    const ColourBox cross = findColour(on, Red, 0, 0, 409, 81);
    EXPECT_GT(cross.count, 1000);
    EXPECT_GE(cross.x0, 104);
    EXPECT_LE(cross.x1, 104 + 185 - 1);
    EXPECT_GE(cross.y0, 0);
    EXPECT_LE(cross.y1, 89 - 8 - 1);
    EXPECT_EQ(on.at(104 + 104, -8 + 48), Red);  // where the two lines cross
    // The verdict: Label1 of Frame1, (120 + 120, 1320 + 480) twips, 377 x 33.
    const ColourBox verdict = findColour(on, Red, 16, 120, 377, 33);
    EXPECT_GT(verdict.count, 200);

    run.driver.advance(500);  // the blink's off tick
    const Image off = run.driver.screenshot("frmWrong", false);
    keep(off, "frmWrong-off");
    EXPECT_EQ(findColour(off, Red, 104, 0, 185, 81).count, 0);
    EXPECT_EQ(findColour(off, Red, 16, 120, 377, 33).count, 0);
    EXPECT_EQ(findColour(off, Face, 16, 120, 377, 33).count, 377 * 33);  // light grey on button face

    run.driver.advance(500);
    const Image again = run.driver.screenshot("frmWrong", false);
    EXPECT_EQ(again.pixels, on.pixels);
}

TEST(CheckerScreens, GreenVerdictBlinksAndTheLeftCableIsCutByTheWindowEdge) {
    CheckerRun run;
    toVerdict(run, true);
    ASSERT_TRUE(run.driver.form("frmGood"));
    auto& cable = run.control<sysaccess::ui::PictureBox>("frmGood", "Picture1");
    if (!cable.picture) {
        // A picture whose every pixel tells its column and row.
        auto pic = std::make_shared<Image>();
        pic->width = 128, pic->height = 36;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 128; ++x)
                pic->pixels.push_back(Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7});
        cable.picture = pic;
    }
    const Image on = run.driver.screenshot("frmGood", false);
    keep(on, "frmGood");
    // The box starts at -245 twips: its 16 leftmost pixels are cut off, not
    // moved into the window; it is 121 x 25 pixels at row 24.
    const Image& pic = *cable.picture;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 121 - 16; ++x) {
            ASSERT_EQ(on.at(x, 24 + y), pic.at(x + 16, y)) << x << "," << y;
        }
    }
    // Label1 of Frame1: (120 + 240, 1320 + 480) twips, 353 x 33 pixels.
    EXPECT_GT(findColour(on, Green, 24, 120, 353, 33).count, 200);
    run.driver.advance(300);
    const Image off = run.driver.screenshot("frmGood", false);
    EXPECT_EQ(findColour(off, Green, 24, 120, 353, 33).count, 0);
}

TEST(CheckerScreens, ShadowLabelsLieBelowRightOfTheirTexts) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    const Image img = run.driver.screenshot("frmLogo", false);
    // Inside Frame3 (8, 0): each coloured label with its grey copy, as the
    // rounded pixel offsets of the twips given: (38, 35) -> (3, 2) for the
    // first title line; (35, 12) -> (2, 1) for the version.
    struct Pair {
        const char* name;
        Rgb colour;
        int x, y, w, h;  // the coloured label's box, client pixels
        int dx, dy;
    };
    for (const Pair& p : {Pair{"title", Blue, 8 + 23, 16, 217, 25, 3, 2},
                          Pair{"version", Red, 8 + 382, 47, 81, 17, 2, 1}}) {
        SCOPED_TRACE(p.name);
        const ColourBox text = findColour(img, p.colour, p.x, p.y, p.w, p.h);
        const ColourBox shadow = findColour(img, Grey, p.x, p.y, p.w + p.dx, p.h + p.dy);
        ASSERT_GT(text.count, 20);
        ASSERT_GT(shadow.count, 20);
        EXPECT_EQ(shadow.x1, text.x1 + p.dx);
        EXPECT_EQ(shadow.y1, text.y1 + p.dy);
    }
}
