// The remover's window and its message boxes at 192 dots per inch: twice as
// large as at 96, with clicks landing on the controls the twips put there.
#include "RemoverHarness.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/ui/MessageBoxForm.h"

using remover_test::RemoverRun;
using remover_test::Script;
using sysaccess::paint::Image;
using sysaccess::paint::Rgb;

namespace {

const Rgb Navy{0, 0, 128};

int count(const Image& img, Rgb colour, int x, int y, int w, int h) {
    int n = 0;
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) n += img.at(px, py) == colour;
    return n;
}

}  // namespace

TEST(RemoverAt192Dpi, TheWindowAndItsProgressBlocksAreTwiceAsLarge) {
    RemoverRun run;
    run.driver.setDpi(192);
    run.script(Script{});
    run.start();
    auto& w = run.window();
    const Image whole = run.driver.screenshot("Uninstall");
    const Image client = run.driver.screenshot("Uninstall", false);
    EXPECT_EQ(client.width, 2 * (w.ScaleWidth / 15));
    EXPECT_EQ(client.height, 2 * (w.ScaleHeight / 15));
    EXPECT_EQ(whole.width, client.width + 2 * 6);
    EXPECT_EQ(whole.height, client.height + 2 * 6 + 2 * 19);
    for (int i = 9; i <= 35; ++i) w.control("Label" + std::to_string(i))->Visible = true;
    const Image full = run.driver.screenshot("Uninstall", false);
    // The blocks of the progress bar lie where their twips put them at 7.5
    // twips a pixel (not at twice their pixels of 96 dpi), each filled whole.
    const sysaccess::paint::Density d(192);
    const auto* frame = w.control("Frame1");
    int total = 0;
    for (int i = 9; i <= 35; ++i) {
        SCOPED_TRACE(i);
        const auto* block = w.control("Label" + std::to_string(i));
        const int x = d.pixels(frame->Left) + d.pixels(block->Left), y = d.pixels(frame->Top) + d.pixels(block->Top);
        const int bw = d.pixels(block->Width), bh = d.pixels(block->Height);
        EXPECT_EQ(count(full, Navy, x, y, bw, bh), bw * bh);
        EXPECT_NE(full.at(x - 1, y + bh / 2), Navy);
        EXPECT_NE(full.at(x + bw, y + bh / 2), Navy);
        total += bw * bh;
    }
    EXPECT_EQ(count(full, Navy, 0, 0, full.width, full.height), total);
    EXPECT_NEAR(total, 4 * (26 * 9 * 11 + 7 * 11), 27 * 2 * 24);
}

TEST(RemoverAt192Dpi, AClickAtTheCheckBoxsPixelsTicksIt) {
    RemoverRun run;
    run.driver.setDpi(192);
    run.script(Script{});
    run.start();
    auto& w = run.window();
    w.Check1.Enabled = true;
    // Check1: (240, 2760) twips in the client area; at 96 dpi (16, 184), here (32, 368).
    run.driver.clickAt("Uninstall", 32 + 10, 368 + 10);
    EXPECT_EQ(w.Check1.value(), 1);
    // The same pixels at 96 dpi lie above and left of it: nothing there takes the click.
    run.driver.setDpi(96);
    run.driver.clickAt("Uninstall", 32 + 10, 368 + 10);
    EXPECT_EQ(w.Check1.value(), 1);
    run.driver.clickAt("Uninstall", 16 + 5, 184 + 5);
    EXPECT_EQ(w.Check1.value(), 0);
}

TEST(RemoverAt192Dpi, MessageBoxesKeepTheirTextInsideAndTheirIconsWhole) {
    RemoverRun run;
    run.driver.setDpi(192);
    run.driver.showBoxes();
    run.script(Script{});
    run.start();
    run.driver.click("Uninstall", "Command1");  // nothing ticked: the box says so
    auto* box = dynamic_cast<sysaccess::ui::MessageBoxForm*>(run.driver.form("MsgBox"));
    ASSERT_NE(box, nullptr);
    const Image shot = run.driver.screenshot("MsgBox", false);
    EXPECT_EQ(shot.width, 2 * (box->ScaleWidth / 15));
    // The icon box holds the icon grown twice: 64 x 64 pixels of it.
    const int x0 = 2 * (box->Image1.Left / 15), y0 = 2 * (box->Image1.Top / 15);
    EXPECT_EQ(2 * (box->Image1.Width / 15), 64);
    EXPECT_NE(shot.at(x0 + 31, y0 + 31), shot.at(0, 0));  // the icon's middle is drawn
    // The text is on one line, as at 96 dpi: nothing dark below the label's first line.
    const int textTop = 2 * (box->Label1.Top / 15), lineHeight = 2 * 13 + 4;
    int below = 0;
    for (int y = textTop + lineHeight; y < 2 * ((box->Label1.Top + box->Label1.Height) / 15); ++y)
        for (int x = 2 * (box->Label1.Left / 15); x < 2 * ((box->Label1.Left + box->Label1.Width) / 15); ++x)
            below += shot.at(x, y) == Rgb{0, 0, 0};
    EXPECT_EQ(below, 0);
    run.driver.press("MsgBox", sysaccess::ui::Key::Enter);
}
