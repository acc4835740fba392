// The checker's windows at other densities: at 192 dots per inch every
// window exactly twice as large as at 96, its controls where the twips put
// them, clicks landing on the same controls, the title scroll's bounds
// unchanged; at 120, 144, 168 and 192 every caption on the lines it has at
// 96 and uncut, and the pictures covering what they cover at 96.
#include <climits>
#include <functional>

#include "fixtures/CaptionFit.h"
#include "fixtures/Palettes.h"
#include "fixtures/Pixels.h"
#include "CheckerHarness.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Renderer.h"
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

namespace {

// The contact details of the driver disk.
const char* const DiskContacts =
    "\"Tarnwick Devices, Inc.\",\"12 Mill Lane, Suite 4\",\"Tel: +1 555 0100\",\"Fax: +1 555 0101\","
    "\"support@tarnwick.example\"\r\n";

// Runs the checker to its brand window and then its result window (the
// green one with a root hub), handing each to `look`.
void eachWindow(bool hub, const std::function<void(CheckerRun&, sysaccess::ui::Form&)>& look) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", DiskContacts);
    if (hub) run.registry({"Enum\\USB\\ROOT_HUB\\PCI0"});
    run.start();
    look(run, run.window("frmLogo"));
    run.driver.click("frmLogo");
    look(run, run.window(hub ? "frmGood" : "frmWrong"));
}

Image clientAt(const sysaccess::ui::Form& form, int dpi) {
    sysaccess::paint::RenderOptions options;
    options.withFrame = false;
    options.dpi = dpi;
    options.palette = fixtures::sandstonePalette();
    return sysaccess::paint::Renderer(sysaccess::paint::platformFonts()).render(form, options);
}

}  // namespace

TEST(CheckerAtScreenDensities, EveryCaptionKeepsItsLinesAndShowsWhole) {
    int captions = 0;
    for (bool hub : {false, true}) {
        eachWindow(hub, [&](CheckerRun&, sysaccess::ui::Form& form) {
            // The result windows' title, before its scroll empties it.
            if (form.hasTitleBar) form.Caption = "USB Check Result";
            captions += fixtures::expectCaptionsFitAsAt96(form);
        });
    }
    // frmLogo (twice): 6 title band texts, 5 contacts, the notice; the result
    // windows their frame, verdict, instructions (2 and 4) and title.
    EXPECT_EQ(captions, 2 * 12 + 5 + 7);
}

TEST(CheckerAtScreenDensities, TheVerdictAndTheBandTextShowOnOneLineToTheirLastWord) {
    auto fonts = sysaccess::paint::platformFonts();
    for (int dpi : {96, 120, 144, 168, 192}) {
        SCOPED_TRACE(dpi);
        const sysaccess::paint::Density d(dpi);
        eachWindow(false, [&](CheckerRun&, sysaccess::ui::Form& form) {
            // The red verdict (Label1 of Frame1) and the blue "System Check
            // Program" (Label2 of Frame3): their ink is one line high and
            // reaches as far right, in the label's box, as the whole text.
            const bool verdict = form.name() == "frmWrong";
            const auto* label = form.control(verdict ? "Label1" : "Label2");
            const auto* frame = label->container();
            const Rgb ink = verdict ? Red : Rgb{0, 0, 255};
            const Image shot = clientAt(form, dpi);
            const int x = d.pixels(frame->Left) + d.pixels(label->Left), y = d.pixels(frame->Top) + d.pixels(label->Top);
            const int w = d.pixels(label->Width), h = d.pixels(label->Height);
            const ColourBox box = findColour(shot, ink, x, y, w, h);
            ASSERT_GT(box.count, 100);
            sysaccess::ui::Font font = label->font;
            font.dpi = dpi;
            const int size = sysaccess::paint::pixelSize(font);
            EXPECT_LT(box.y1 - box.y0, size * 5 / 4);                 // one line
            EXPECT_LT(box.y1, y + h - 1);                             // above the label's bottom edge
            EXPECT_LE(box.x1, x + w - 1);
            const int at96 = fonts->measure(label->font, sysaccess::paint::decodeAnsi(label->Caption, 1252));
            EXPECT_GT(box.x1 - box.x0, at96 * dpi / 96 * 9 / 10);      // the last word too
        });
    }
}

TEST(CheckerAtScreenDensities, PicturesCoverWhatTheyCoverAt96) {
    // A picture pixel at 96 dpi is one whose box shows the button face where
    // its picture is taken away. At each density every pixel at the centre
    // of such a pixel (one inside the covered area, not on its rim) must
    // show no button face: the banner's pictures meet and fill their boxes.
    const Rgb face = fixtures::sandstonePalette()[sysaccess::ui::SysColor::ButtonFace];
    for (bool hub : {false, true}) {
        eachWindow(hub, [&](CheckerRun&, sysaccess::ui::Form& form) {
            const Image at96 = clientAt(form, 96);
            std::vector<std::pair<sysaccess::ui::PictureBox*, sysaccess::ui::Picture>> taken;
            for (auto* c : form.controls())
                if (auto* box = dynamic_cast<sysaccess::ui::PictureBox*>(c); box && box->picture)
                    taken.emplace_back(box, std::exchange(box->picture, nullptr));
            const Image bare = clientAt(form, 96);
            for (auto& [box, picture] : taken) box->picture = picture;
            ASSERT_FALSE(taken.empty());
            const auto covered = [&](int x, int y) {
                if (x < 0 || y < 0 || x >= at96.width || y >= at96.height) return false;
                return bare.at(x, y) == face && at96.at(x, y) != face;
            };
            for (int dpi : {120, 144, 168, 192}) {
                SCOPED_TRACE(form.name() + " at " + std::to_string(dpi));
                const Image here = clientAt(form, dpi);
                int looked = 0, gaps = 0;
                for (int y = 0; y < at96.height; ++y)
                    for (int x = 0; x < at96.width; ++x) {
                        bool inside = true;
                        for (int dy = -1; dy <= 1; ++dy)
                            for (int dx = -1; dx <= 1; ++dx) inside = inside && covered(x + dx, y + dy);
                        if (!inside) continue;
                        ++looked;
                        const int hx = (2 * x + 1) * dpi / 192, hy = (2 * y + 1) * dpi / 192;
                        gaps += here.at(hx, hy) == face;
                    }
                EXPECT_GT(looked, 5000);
                EXPECT_EQ(gaps, 0);
            }
        });
    }
}
