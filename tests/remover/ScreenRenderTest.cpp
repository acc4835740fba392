// The remover's window as the renderer draws it: pixels that the layout fixes.
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "fixtures/Pixels.h"
#include "RemoverHarness.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/paint/Png.h"
#include "sysaccess/paint/Renderer.h"

using remover_test::RemoverRun;
using remover_test::Script;
using sysaccess::paint::Image;
using sysaccess::paint::Rgb;

using fixtures::countColour;

namespace {

const Rgb Navy{0, 0, 128}, Black{0, 0, 0}, Grey{128, 128, 128}, White{255, 255, 255};

void keep(const Image& image, const std::string& name) {
    if (const char* dir = std::getenv("SCREENSHOT_DIR")) {
        std::ofstream(std::string(dir) + "/" + name + ".png", std::ios::binary)
            << sysaccess::paint::encodePng(image);
    }
}

}  // namespace

TEST(RemoverScreens, ProgressBlocksSitAtTheirPixelColumnsAndTheLastIsNarrower) {
    RemoverRun run;
    run.script(Script{});
    run.start();
    auto& w = run.window();
    for (int i = 9; i <= 35; ++i) w.control("Label" + std::to_string(i))->Visible = true;
    const Image img = run.driver.screenshot("Uninstall", false);
    keep(img, "Uninstall-progress");
    // Frame1 lies at (8, 152); the blocks at 1490 twips down it (row 251),
    // 11 pixels high, 9 wide (the last 7), with 2-pixel gaps.
    const int columns[27] = {10, 21, 32, 43, 54, 65, 76, 87, 98, 109, 120, 131, 142, 153,
                             164, 175, 186, 197, 208, 219, 230, 241, 252, 263, 274, 285, 296};
    for (int i = 0; i < 27; ++i) {
        SCOPED_TRACE(i);
        const int x = 8 + columns[i], width = i == 26 ? 7 : 9;
        EXPECT_EQ(countColour(img, Navy, x, 251, width, 11), width * 11);
        EXPECT_NE(img.at(x - 1, 256), Navy);
        EXPECT_NE(img.at(x + width, 256), Navy);
        EXPECT_NE(img.at(x, 250), Navy);
        EXPECT_NE(img.at(x, 262), Navy);
    }
    EXPECT_EQ(countColour(img, Navy, 0, 0, img.width, img.height), 26 * 9 * 11 + 7 * 11);
}

TEST(RemoverScreens, DisabledCheckBoxShowsEmbossedGreyText) {
    RemoverRun run;
    run.script(Script{});
    run.start();
    // Check1: (120 + 120, 2280 + 480) twips, 297 x 32 pixels; its text
    // begins 17 pixels in, after the square.
    const int x = 16 + 17, y = 184, w = 297 - 17, h = 32;
    const Image off = run.driver.screenshot("Uninstall", false);
    keep(off, "Uninstall");
    EXPECT_EQ(countColour(off, Black, x, y, w, h), 0);
    EXPECT_GT(countColour(off, Grey, x, y, w, h), 30);
    EXPECT_GT(countColour(off, White, x, y, w, h), 10);
    // The square is button face inside while disabled, white when enabled.
    EXPECT_EQ(off.at(16 + 6, y + 16), (Rgb{192, 192, 192}));

    run.window().Check1.Enabled = true;
    const Image on = run.driver.screenshot("Uninstall", false);
    EXPECT_GT(countColour(on, Black, x, y, w, h), 30);
    EXPECT_EQ(countColour(on, White, x, y, w, h), 0);
    EXPECT_EQ(on.at(16 + 6, y + 16), White);
}

TEST(RemoverScreens, LargerBrandPictureGrowsTheBoxOverTheInformationLines) {
    RemoverRun run;
    run.script(Script{});
    Image brand{250, 180, std::vector<Rgb>(250 * 180, Rgb{200, 30, 160})};
    run.prefix.file("C:\\Brand.bmp", sysaccess::paint::encodeBmp24(brand));
    run.start();
    const Image img = run.driver.screenshot("Uninstall", false);
    keep(img, "Uninstall-brand");
    // 250 x 180 from the corner: over the labels (from x 200) and the line
    // (row 148), which lie beneath it, and under Frame1 (from (8, 152)),
    // which lies above it.
    EXPECT_EQ(countColour(img, brand.pixels[0], 0, 0, 441, 282), 250 * 152 + 8 * 28);
    EXPECT_EQ(img.at(249, 148), brand.pixels[0]);
    EXPECT_EQ(img.at(250, 148), Black);
    EXPECT_EQ(img.at(249, 151), brand.pixels[0]);
    EXPECT_EQ(img.at(7, 179), brand.pixels[0]);
    EXPECT_NE(img.at(7, 180), brand.pixels[0]);
}

TEST(RemoverScreens, Big5ScriptOnACodePage950MachineShowsItsCharacters) {
    RemoverRun run;
    Script s;
    s.device = "USB \xc2\xe0\xb1\xb5\xbe\xb9";  // "轉接器" in Big5
    s.info[1] = "\xb2\xbe\xb0\xa3\xb5\x7b\xa6\xa1";  // "移除程式"
    run.script(s);
    fixtures::writeHostFile(run.prefix.path() / "system.reg",
                            "WINE REGISTRY Version 2\n\n"
                            "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] 1700000000\n"
                            "\"ACP\"=\"950\"\n\"OEMCP\"=\"950\"\n");
    run.start();
    ASSERT_EQ(sysaccess::platform().ansiCodePage(), 950u);
    const Image big5 = run.driver.screenshot("Uninstall", false);
    keep(big5, "Uninstall-big5");

    // The same characters reached another way (UTF-8) draw the same pixels;
    // the bytes read as Windows-1252 do not.
    sysaccess::paint::Renderer renderer(sysaccess::paint::platformFonts());
    auto& w = run.window();
    sysaccess::paint::RenderOptions latin;
    latin.withFrame = false;
    const Image wrong = renderer.render(w, latin);
    EXPECT_NE(wrong.pixels, big5.pixels);
    w.Check1.Caption = "USB \u8f49\u63a5\u5668";
    w.Label2.Caption = "\u79fb\u9664\u7a0b\u5f0f";
    sysaccess::paint::RenderOptions utf8 = latin;
    utf8.codePage = 65001;
    EXPECT_EQ(renderer.render(w, utf8).pixels, big5.pixels);
}
