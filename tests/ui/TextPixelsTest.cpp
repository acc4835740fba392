// Text as the renderer draws it: solid pixels of one colour, titles that end
// in "..." where they do not fit, and underlined access letters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <tuple>

#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Png.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Form.h"

using namespace sysaccess::ui;
using sysaccess::paint::Image;
using sysaccess::paint::Rect;
using sysaccess::paint::RenderOptions;
using sysaccess::paint::Rgb;

namespace {

const Rgb Black{0, 0, 0}, White{255, 255, 255}, Face{192, 192, 192}, Grey{128, 128, 128}, Navy{0, 0, 128};

// Keeps a picture for looking at when SCREENSHOT_DIR names a folder.
void keep(const Image& image, const std::string& name) {
    if (const char* dir = std::getenv("SCREENSHOT_DIR"))
        std::ofstream(std::string(dir) + "/" + name + ".png", std::ios::binary) << sysaccess::paint::encodePng(image);
}

using Colours = std::set<std::tuple<int, int, int>>;
Colours coloursIn(const Image& image, const Rect& r) {
    Colours seen;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const Rgb p = image.at(x, y);
            seen.emplace(p.r, p.g, p.b);
        }
    return seen;
}
Colours only(std::initializer_list<Rgb> list) {
    Colours c;
    for (const Rgb& p : list) c.emplace(p.r, p.g, p.b);
    return c;
}

Rect pixelsOf(const Control& c, const Rect& client) {
    return Rect{client.x + c.Left / TwipsPerPixel, client.y + c.Top / TwipsPerPixel, c.Width / TwipsPerPixel,
                c.Height / TwipsPerPixel};
}

class Texts : public Form {
public:
    Texts() : Form("Texts") {
        ScaleWidth = 6000, ScaleHeight = 3000;
        Caption = "Crisp Titles And Labels";
        Serif.Move(150, 150, 5000, 450), Serif.Caption = "Tarnwick Devices Inc. 0123";
        Serif.setFont({"Times New Roman", 12, true, false, 0});
        Sans.Move(150, 700, 5000, 300), Sans.Caption = "USB to Serial Adapter 4567";
        Sans.setFont({"Arial", 9.75, false, false, 0});
        Dialog.Move(150, 1100, 5000, 300), Dialog.Caption = "Removing Files : A:\\SETUP";
        Greyed.Move(150, 1500, 5000, 300), Greyed.Caption = "Not now";
        Greyed.Enabled = false;
        Button.Move(150, 2000, 1500, 450), Button.Caption = "Uninstall";
        Button.setFont({"Times New Roman", 9.75, true, false, 0});
    }
    Label Serif{*this, "Serif"};
    Label Sans{*this, "Sans"};
    Label Dialog{*this, "Dialog"};
    Label Greyed{*this, "Greyed"};
    CommandButton Button{*this, "Button"};
};

}  // namespace

TEST(CrispText, TextIsDrawnInItsColourAloneWithoutGreyFringes) {
    Texts form;
    sysaccess::paint::Renderer renderer(sysaccess::paint::platformFonts());
    const Image image = renderer.render(form, RenderOptions{});
    keep(image, "crisp-texts");
    const auto g = sysaccess::paint::frameGeometry(form);
    for (const Label* l : {&form.Serif, &form.Sans, &form.Dialog}) {
        SCOPED_TRACE(l->name());
        EXPECT_EQ(coloursIn(image, pixelsOf(*l, g.client)), only({Black, Face}));
    }
    // Disabled text is embossed: white under grey, still no colour in between.
    EXPECT_EQ(coloursIn(image, pixelsOf(form.Greyed, g.client)), only({White, Grey, Face}));
    // The button's caption, inside its edges.
    Rect inside = pixelsOf(form.Button, g.client);
    inside = Rect{inside.x + 3, inside.y + 3, inside.w - 6, inside.h - 6};
    EXPECT_EQ(coloursIn(image, inside), only({Black, Face}));
    // The title: white letters on the caption colour.
    Rect title = g.titleBar;
    title.w = g.closeBox.x - title.x - 2;
    EXPECT_EQ(coloursIn(image, title), only({White, Navy}));
}

TEST(CrispText, TheDialogFontIsTheEightPointScreenFont) {
    // The 8-point face is 13 pixels from line to line and its bold is the
    // regular face one pixel wider a letter.
    auto fonts = sysaccess::paint::platformFonts();
    const Font dialog{"", 8.25, false, false, 0};
    EXPECT_EQ(fonts->metrics(dialog).height(), 13);
    EXPECT_EQ(fonts->metrics(dialog).ascent, 11);
    const Font bold{"", 8.25, true, false, 0};
    EXPECT_EQ(fonts->measure(bold, U"Removing"), fonts->measure(dialog, U"Removing") + 8);
    // Larger sizes of the dialog font stay 8 points, as the desktop does.
    EXPECT_EQ(fonts->measure(Font{"", 12, false, false, 0}, U"Removing"), fonts->measure(dialog, U"Removing"));
}
