// Text as the renderer draws it: solid pixels of one colour, titles that end
// in "..." where they do not fit, and underlined access letters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <tuple>

#include "ui/CaptionsForm.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Png.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/paint/TextLayout.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Form.h"
#include "sysaccess/ui/MessageBoxForm.h"

using namespace sysaccess::ui;
using sysaccess::paint::Image;
using sysaccess::paint::Rect;
using sysaccess::paint::RenderOptions;
using sysaccess::paint::Rgb;

using ui_test::Captions;

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

// Where two pictures of the same size differ: the rows, and how many pixels.
struct Difference {
    std::set<int> rows;
    int pixels = 0;
};
Difference differenceOf(const Image& a, const Image& b) {
    Difference d;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) != b.at(x, y)) d.rows.insert(y), ++d.pixels;
    return d;
}

Image render(const Form& form) {
    return sysaccess::paint::Renderer(sysaccess::paint::platformFonts()).render(form, RenderOptions{});
}

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

TEST(TitleBar, ATitleLongerThanTheBarEndsInDotsBeforeTheCloseBox) {
    auto fonts = sysaccess::paint::platformFonts();
    const Font caption{"", 8, true, false, 0};
    const std::u32string title = U"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM";
    EXPECT_EQ(sysaccess::paint::fitWithEllipsis(*fonts, caption, U"Short", 200), U"Short");
    const std::u32string fitted = sysaccess::paint::fitWithEllipsis(*fonts, caption, title, 150);
    ASSERT_GE(fitted.size(), 4u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), U"...");
    EXPECT_LE(fonts->measure(caption, fitted), 150);
    EXPECT_GT(fonts->measure(caption, U"M" + fitted), 150);  // the longest beginning that fits
    EXPECT_LE(fonts->measure(caption, sysaccess::paint::fitWithEllipsis(*fonts, caption, title, 5)), 5);

    Form form("Long");
    form.ScaleWidth = 3000, form.ScaleHeight = 600;
    form.Caption = std::string(title.begin(), title.end());
    const Image image = render(form);
    keep(image, "title-ellipsis");
    // The text ends short of the close box: no letter is cut at the edge.
    const auto g = sysaccess::paint::frameGeometry(form);
    const int edge = g.closeBox.x - 3;
    for (int y = g.titleBar.y; y < g.titleBar.y + g.titleBar.h; ++y) EXPECT_EQ(image.at(edge, y), Navy) << y;
    // What is drawn is the title cut before "...".
    const std::u32string shown =
        sysaccess::paint::fitWithEllipsis(*fonts, caption, title, edge + 1 - (g.titleBar.x + 2) - 1);
    Form same("Same");
    same.ScaleWidth = form.ScaleWidth, same.ScaleHeight = form.ScaleHeight;
    same.Caption = std::string(shown.begin(), shown.end());
    EXPECT_EQ(differenceOf(image, render(same)).pixels, 0);
}

TEST(TitleBar, AYesNoBoxShowsItsCloseBoxGreyed) {
    const auto closeBoxColours = [](int style) {
        MessageBoxForm box("Continue?", style, "Question");
        const Image image = render(box);
        keep(image, "msgbox-" + std::to_string(style & 0xF));
        const auto g = sysaccess::paint::frameGeometry(box);
        const Rect r = g.closeBox;
        return coloursIn(image, Rect{r.x + 2, r.y + 2, r.w - 4, r.h - 4});
    };
    EXPECT_EQ(closeBoxColours(mb::Question | mb::YesNo), only({Face, Grey, White}));
    EXPECT_EQ(closeBoxColours(mb::Question | 3), only({Face, Black}));  // Yes, No, Cancel
    EXPECT_EQ(closeBoxColours(mb::Exclamation), only({Face, Black}));
}

TEST(Mnemonics, TheAccessLetterIsUnderlinedOnItsLine) {
    auto fonts = sysaccess::paint::platformFonts();
    Captions marked;
    Captions plain;
    plain.Button.Caption = "Yes", plain.Check.Caption = "Remove", plain.Wrapped.Caption = "Remove the driver";
    const Image withLetters = render(marked);
    keep(withLetters, "mnemonics");
    const auto g = sysaccess::paint::frameGeometry(marked);
    const int height = fonts->metrics(marked.font).height();
    const auto rowsOf = [&](const Control& c) {
        return Rect{0, g.client.y + c.Top / TwipsPerPixel, g.width, c.Height / TwipsPerPixel};
    };
    // Each caption differs from its plain twin in one row, by the width of its letter.
    const Difference all = differenceOf(withLetters, render(plain));
    EXPECT_EQ(all.pixels, fonts->measure(marked.font, U"Y") + fonts->measure(marked.font, U"R") +
                              fonts->measure(marked.font, U"d"));
    EXPECT_EQ(all.rows.size(), 3u);
    for (const Control* c : std::initializer_list<const Control*>{&marked.Button, &marked.Check}) {
        const Rect r = rowsOf(*c);
        EXPECT_EQ(std::count_if(all.rows.begin(), all.rows.end(), [&](int y) { return y >= r.y && y < r.y + r.h; }),
                  1)
            << c->name();
    }
    // The wrapped label's letter is on its second line.
    const int wrapWidth = marked.Wrapped.Width / TwipsPerPixel;
    ASSERT_EQ(sysaccess::paint::wrapText(*fonts, marked.font, U"Remove the driver", wrapWidth),
              (std::vector<std::u32string>{U"Remove the", U"driver"}));
    const Rect wrapped = rowsOf(marked.Wrapped);
    EXPECT_EQ(std::count_if(all.rows.begin(), all.rows.end(),
                            [&](int y) { return y >= wrapped.y + height && y < wrapped.y + 2 * height; }),
              1);
}

TEST(Mnemonics, MessageBoxButtonsShowTheirLetters) {
    MessageBoxForm box("Continue?", mb::Question | mb::YesNo, "Question");
    const Image marked = render(box);
    box.buttons()[0]->Caption = "Yes";
    box.buttons()[1]->Caption = "No";
    const Difference d = differenceOf(marked, render(box));
    auto fonts = sysaccess::paint::platformFonts();
    EXPECT_EQ(d.rows.size(), 1u);
    EXPECT_EQ(d.pixels, fonts->measure(box.font, U"Y") + fonts->measure(box.font, U"N"));
}
