// The desktop's colours come from one palette: every system colour the
// renderer draws follows it, fixed colours do not, and the render key sees it.
#include <gtest/gtest.h>

#include "fixtures/Palettes.h"
#include "fixtures/Pixels.h"
#include "sysaccess/paint/RenderKey.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Form.h"

using namespace sysaccess::ui;
using sysaccess::paint::Image;
using sysaccess::paint::Palette;
using sysaccess::paint::RenderOptions;
using sysaccess::paint::Rgb;

using fixtures::countColour;

namespace {

class Sample : public Form {
public:
    Sample() : Form("Sample") {
        ScaleWidth = 4500, ScaleHeight = 1800;
        Caption = "Sample";
        Text.Move(150, 150, 3000, 300), Text.Caption = "Text";
        Fixed.Move(150, 600, 1500, 300), Fixed.BackColor = RGB(255, 0, 0);
        Menu.Move(150, 1050, 1500, 300), Menu.BackColor = syscolor::Menu;
        Button.Move(3000, 900, 1200, 450), Button.Caption = "OK";
    }
    Label Text{*this, "Text"};
    Label Fixed{*this, "Fixed"};
    Label Menu{*this, "Menu"};
    CommandButton Button{*this, "Button"};
};

}  // namespace

TEST(Palette, SystemColoursNameRolesAndResolveThroughThePalette) {
    EXPECT_TRUE(syscolor::ButtonFace.isSystem());
    EXPECT_FALSE(RGB(192, 192, 192).isSystem());
    EXPECT_NE(syscolor::ButtonFace, RGB(192, 192, 192));
    const Palette classic = Palette::classic();
    EXPECT_EQ(classic(syscolor::ButtonFace), (Rgb{192, 192, 192}));
    EXPECT_EQ(classic(syscolor::ActiveCaption), (Rgb{0, 0, 128}));
    EXPECT_EQ(classic(RGB(1, 2, 3)), (Rgb{1, 2, 3}));
    EXPECT_EQ(fixtures::sandstonePalette()(syscolor::Menu), (Rgb{220, 220, 210}));
    EXPECT_EQ(fixtures::sandstonePalette()(RGB(255, 0, 0)), (Rgb{255, 0, 0}));
    // Off Windows the desktop's colours are the classic scheme.
    EXPECT_EQ(sysaccess::paint::platformPalette(), classic);
    EXPECT_EQ(RenderOptions{}.palette, classic);
}

TEST(Palette, TheWholeWindowIsDrawnInThePalettesColoursAndFixedColoursStay) {
    Sample form;
    sysaccess::paint::Renderer renderer(sysaccess::paint::platformFonts());
    RenderOptions options;
    options.palette = fixtures::sandstonePalette();
    const Image image = renderer.render(form, options);
    const auto g = sysaccess::paint::frameGeometry(form);
    const Palette p = fixtures::sandstonePalette();
    // Frame, title bar, caption text and close box.
    EXPECT_EQ(image.at(0, g.height - 1), p[SysColor::DarkShadow]);
    EXPECT_EQ(image.at(1, 1), p[SysColor::ButtonHighlight]);
    EXPECT_EQ(image.at(g.titleBar.x + g.titleBar.w / 2, g.titleBar.y + 1), p[SysColor::ActiveCaption]);
    EXPECT_GT(countColour(image, p[SysColor::CaptionText]), 10);
    EXPECT_EQ(image.at(g.closeBox.x + 2, g.closeBox.y + 2), p[SysColor::ButtonFace]);
    // The client area, the labels' text, the menu-coloured and the fixed red label.
    EXPECT_EQ(image.at(g.client.x + 1, g.client.y + 40), p[SysColor::ButtonFace]);
    EXPECT_GT(countColour(image, p[SysColor::ButtonText]), 20);
    EXPECT_EQ(image.at(g.client.x + 12, g.client.y + 72), p[SysColor::Menu]);
    EXPECT_EQ(image.at(g.client.x + 12, g.client.y + 42), (Rgb{255, 0, 0}));
    // Nothing of the classic scheme is left.
    for (const Rgb classic : {Rgb{192, 192, 192}, Rgb{128, 128, 128}, Rgb{0, 0, 128}})
        EXPECT_EQ(countColour(image, classic), 0) << int(classic.r) << "," << int(classic.g) << "," << int(classic.b);

    options.active = false;
    EXPECT_EQ(renderer.render(form, options).at(g.titleBar.x + g.titleBar.w / 2, g.titleBar.y + 1),
              p[SysColor::InactiveCaption]);
}

TEST(Palette, ANewPaletteChangesTheRenderKey) {
    Sample form;
    RenderOptions classic, other;
    other.palette = fixtures::sandstonePalette();
    EXPECT_EQ(sysaccess::paint::RenderKey(form, classic), sysaccess::paint::RenderKey(form, RenderOptions{}));
    EXPECT_FALSE(sysaccess::paint::RenderKey(form, classic) == sysaccess::paint::RenderKey(form, other));
    other.palette = Palette::classic();
    other.palette.set(SysColor::ButtonShadow, Rgb{129, 128, 128});
    EXPECT_FALSE(sysaccess::paint::RenderKey(form, classic) == sysaccess::paint::RenderKey(form, other));
}
