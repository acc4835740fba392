// The classic look at 192 dpi with everything it has at 96: the palette's
// colours, greyed close boxes, underlined access letters and titles cut
// with "...", each grown twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "ui/CaptionsForm.h"
#include "fixtures/Palettes.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/paint/TextLayout.h"
#include "sysaccess/ui/Form.h"

using namespace sysaccess::ui;
using sysaccess::paint::Image;
using sysaccess::paint::Palette;
using sysaccess::paint::Rect;
using sysaccess::paint::RenderOptions;
using sysaccess::paint::Rgb;

using ui_test::Captions;

namespace {

// Every control with a look of its own and no text: at 192 dpi it must be
// its 96-dpi picture with each pixel grown into a square of four.
class Textless : public Form {
public:
    Textless() : Form("Textless") {
        ScaleWidth = 4500, ScaleHeight = 2400;
        borderStyle = FormBorderStyle::FixedDialog;
        hasTitleBar = true, ControlBox = true;
        Box.Move(120, 120, 1500, 300), Box.borderStyle = ControlBorder::Single;
        Check.Move(120, 600, 1500, 300), Check.setValue(1);
        Greyed.Move(120, 1050, 1500, 300), Greyed.setValue(2);
        Button.Move(2400, 120, 1200, 405), Button.Default = true;
        Picture.Move(2400, 900, 900, 600), Picture.borderStyle = ControlBorder::Single;
    }
    Label Box{*this, "Box"};
    CheckBox Check{*this, "Check"};
    CheckBox Greyed{*this, "Greyed"};
    CommandButton Button{*this, "Button"};
    PictureBox Picture{*this, "Picture"};
};

Image render(const Form& form, int dpi, const Palette& palette = Palette::classic()) {
    RenderOptions options;
    options.dpi = dpi;
    options.palette = palette;
    return sysaccess::paint::Renderer(sysaccess::paint::platformFonts()).render(form, options);
}

// Pixels of `big` that are not their pixel of `small` grown twice.
int notDoubled(const Image& big, const Image& small) {
    int n = 0;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) n += big.at(x, y) != small.at(x / 2, y / 2);
    return n;
}

}  // namespace

TEST(DensityLook, ThePalettesColoursAndAGreyedCloseBoxGrowExactlyTwice) {
    const Palette p = fixtures::sandstonePalette();
    for (bool closes : {true, false}) {
        Textless form;
        form.closeBoxEnabled = closes;
        const Image at96 = render(form, 96, p), at192 = render(form, 192, p);
        ASSERT_EQ(at192.width, 2 * at96.width);
        ASSERT_EQ(at192.height, 2 * at96.height);
        EXPECT_EQ(notDoubled(at192, at96), 0) << "close box enabled: " << closes;
        // Nothing of the classic scheme is drawn at the density either.
        for (const Rgb classic : {Rgb{192, 192, 192}, Rgb{128, 128, 128}, Rgb{0, 0, 128}, Rgb{0, 0, 0}})
            EXPECT_EQ(std::count(at192.pixels.begin(), at192.pixels.end(), classic), 0);
        // A greyed cross is embossed: the highlight shows beside the shadow.
        const Rect box = sysaccess::paint::frameGeometry(form, 192).closeBox;
        std::set<std::tuple<int, int, int>> seen;
        for (int y = box.y + 4; y < box.y + box.h - 4; ++y)
            for (int x = box.x + 4; x < box.x + box.w - 4; ++x) {
                const Rgb c = at192.at(x, y);
                seen.emplace(c.r, c.g, c.b);
            }
        const Rgb hi = p[SysColor::ButtonHighlight], dark = p[SysColor::DarkShadow];
        EXPECT_EQ(seen.count({hi.r, hi.g, hi.b}), closes ? 0u : 1u);
        EXPECT_EQ(seen.count({dark.r, dark.g, dark.b}), closes ? 1u : 0u);
    }
}

TEST(DensityLook, AccessLettersAreUnderlinedTwoPixelsThickAt192) {
    auto fonts = sysaccess::paint::platformFonts();
    Captions marked, plain;
    plain.Button.Caption = "Yes", plain.Check.Caption = "Remove", plain.Wrapped.Caption = "Remove the driver";
    const Image a = render(marked, 192), b = render(plain, 192);
    ASSERT_EQ(a.width, b.width);
    std::set<int> rows;
    int pixels = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) != b.at(x, y)) rows.insert(y), ++pixels;
    Font font = marked.font;
    font.dpi = 192;
    // Each letter's underline: its width at the density, two rows high.
    EXPECT_EQ(pixels, 2 * (fonts->measure(font, U"Y") + fonts->measure(font, U"R") + fonts->measure(font, U"d")));
    ASSERT_EQ(rows.size(), 6u);
    const std::vector<int> r(rows.begin(), rows.end());
    for (std::size_t i = 0; i < r.size(); i += 2) EXPECT_EQ(r[i + 1], r[i] + 1) << r[i];
}

TEST(DensityLook, ALongTitleEndsInDotsAtTheDensitysFont) {
    auto fonts = sysaccess::paint::platformFonts();
    const std::string title(48, 'M');
    Form form("Long");
    form.ScaleWidth = 3000, form.ScaleHeight = 600;
    form.Caption = title;
    const Image image = render(form, 192);
    const auto g = sysaccess::paint::frameGeometry(form, 192);
    const int k = 2, left = g.titleBar.x + 2 * k, right = g.closeBox.x - 2 * k;
    Font caption{"", 8, true, false, 0};
    caption.dpi = 192;
    const std::u32string shown =
        sysaccess::paint::fitWithEllipsis(*fonts, caption, std::u32string(title.begin(), title.end()), right - left - k);
    ASSERT_GT(shown.size(), 4u);
    ASSERT_EQ(shown.substr(shown.size() - 3), U"...");
    // The title's ink reaches within a letter of the close box and stops short of it.
    const Rgb text = Palette::classic()[SysColor::CaptionText];
    int last = -1;
    for (int y = g.titleBar.y; y < g.titleBar.y + g.titleBar.h; ++y)
        for (int x = g.titleBar.x; x < g.closeBox.x; ++x)
            if (image.at(x, y) == text) last = std::max(last, x);
    EXPECT_LT(last, right);
    EXPECT_GT(last, right - fonts->measure(caption, U"M"));
    // What is drawn is exactly the cut title.
    Form same("Same");
    same.ScaleWidth = form.ScaleWidth, same.ScaleHeight = form.ScaleHeight;
    same.Caption = std::string(shown.begin(), shown.end());
    EXPECT_EQ(image.pixels, render(same, 192).pixels);
}
