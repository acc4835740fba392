// The remover's window and its message boxes at other densities: at 192
// dots per inch twice as large as at 96, with clicks landing on the controls
// the twips put there; at 120, 144, 168 and 192 every caption on the lines it
// has at 96 and uncut.
#include "fixtures/CaptionFit.h"
#include "fixtures/Pixels.h"
#include "RemoverHarness.h"
#include "sysaccess/paint/CaptionLayout.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/ui/MessageBoxForm.h"

using remover_test::RemoverRun;
using remover_test::Script;
using sysaccess::paint::Image;
using sysaccess::paint::Rgb;

using fixtures::countColour;

namespace {

const Rgb Navy{0, 0, 128};

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
        EXPECT_EQ(countColour(full, Navy, x, y, bw, bh), bw * bh);
        EXPECT_NE(full.at(x - 1, y + bh / 2), Navy);
        EXPECT_NE(full.at(x + bw, y + bh / 2), Navy);
        total += bw * bh;
    }
    EXPECT_EQ(countColour(full, Navy, 0, 0, full.width, full.height), total);
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

TEST(RemoverAtOtherDensities, MessageBoxesGrowWholeWithTheirTextOnItsLinesAndTheirIcons) {
    // Narrow letters make a text whose width grows least evenly with the
    // density; 168 dpi grows the icon by 1.75.
    const char* const names[] = {"USB to Serial Adapter with a much longer name than usual",
                                 "illlllllllllllll iiiiiiiiiii tttttt"};
    auto fonts = sysaccess::paint::platformFonts();
    for (int dpi : {96, 108, 120, 144, 168, 192}) {
      for (const char* name : names) {
        SCOPED_TRACE(std::to_string(dpi) + " " + name);
        const sysaccess::paint::Density d(dpi);
        RemoverRun run;
        run.driver.setDpi(dpi);
        run.driver.showBoxes();
        Script script;
        script.device = name;
        run.script(script);
        run.start();
        run.window().Check1.Enabled = true;
        run.driver.click("Uninstall", "Check1");
        run.driver.click("Uninstall", "Command1");  // the confirmation: two lines of text
        auto* box = dynamic_cast<sysaccess::ui::MessageBoxForm*>(run.driver.form("MsgBox"));
        ASSERT_NE(box, nullptr);
        const Image shot = run.driver.screenshot("MsgBox", false);
        EXPECT_EQ(shot.width, d.pixels(box->ScaleWidth));
        // The icon is whole: grown with the density, inside its box.
        EXPECT_LE(d.scale(32), d.pixels(box->Image1.Width));
        const int ix = d.pixels(box->Image1.Left), iy = d.pixels(box->Image1.Top);
        EXPECT_NE(shot.at(ix + d.scale(16), iy + d.scale(8)), shot.at(0, 0));  // the icon's upper middle is drawn
        // The text keeps the lines it has at 96 dpi, all inside the label's
        // height, and the last of them is drawn.
        const auto text = sysaccess::paint::layoutCaption(*fonts, *box, box->Label1, dpi, 1252);
        EXPECT_EQ(text.lines.size(), sysaccess::paint::layoutCaption(*fonts, *box, box->Label1, 96, 1252).lines.size());
        EXPECT_GE(text.lines.size(), 2u);
        const int lineHeight = fonts->metrics(text.font).height();
        const int left = d.pixels(box->Label1.Left), top = d.pixels(box->Label1.Top);
        const int width = d.pixels(box->Label1.Width), height = d.pixels(box->Label1.Height);
        EXPECT_LE(static_cast<int>(text.lines.size()) * lineHeight, height);
        int dark = 0;
        const int last = top + (static_cast<int>(text.lines.size()) - 1) * lineHeight;
        for (int y = last; y < last + lineHeight; ++y)
            for (int x = left; x < left + width; ++x) dark += shot.at(x, y).r < 100;
        EXPECT_GT(dark, 20);
        run.driver.type("MsgBox", 'n');  // No: the remover ends
      }
    }
}

TEST(RemoverAtScreenDensities, EveryCaptionOfTheWindowAndItsBoxesKeepsItsLinesAndShowsWhole) {
    // The window with the driver disk's texts.
    RemoverRun run;
    Script script;
    script.info = {"Tarnwick Devices Inc.", "USB Adapter Driver Removal", "Version 1.00", "12 Mill Lane, Suite 4",
                   "Tel: +1 555 0100", "Fax: +1 555 0101", "support@tarnwick.example"};
    run.script(script);
    run.start();
    // Its title, frame, two buttons, check box, "Removing Files :", seven information lines.
    EXPECT_EQ(fixtures::expectCaptionsFitAsAt96(run.window()), 13);
    // Every box the remover and the toolkit show.
    struct Box {
        const char* text;
        int style;
        const char* title;
    };
    const Box boxes[] = {
        {"Please select the device to be removed.", 16, "Error"},
        {"This will remove the driver of USB to Serial Adapter\r\n Do you wish to continue?", 36, "Uninstall driver"},
        {"Windows must be restarted to complete the device removal. Do you wish to restart now?", 36, "Restart"},
        {"Windows must to restart to complete the device removal", 48, "Restart"},
        {"Please insert driver disk", 48, "Error"},
        {"1) The USB adapter could not be fully uninstalled.\r\n2) You must login with Adaministrator rights and "
         "re-run\r\n     this program to complete the process.",
         16, "Uninstall Fail"},
        {"Run-time error '53':\n\nFile not found", 16, "Busclean"},
    };
    for (const Box& b : boxes) {
        const sysaccess::ui::MessageBoxForm box(b.text, b.style, b.title);
        // The text, the buttons and the title.
        EXPECT_EQ(fixtures::expectCaptionsFitAsAt96(box), 1 + static_cast<int>(box.buttons().size()) + 1) << b.text;
    }
}
