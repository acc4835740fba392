// Drawing at other screen densities: twips, the fixed pixel parts of the
// classic look and the pictures follow the density.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Png.h"
#include "sysaccess/paint/RenderKey.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Form.h"

using namespace sysaccess::ui;
using sysaccess::paint::Density;
using sysaccess::paint::Image;
using sysaccess::paint::RenderOptions;
using sysaccess::paint::Rgb;

namespace {

// A window of every control kind without any text (text is drawn by the
// font at its own size, the rest must double exactly), on multiples of 15
// twips, as the layouts mostly are.
class Plain : public Form {
public:
    Plain() : Form("Plain") {
        ScaleWidth = 4500, ScaleHeight = 3000;
        borderStyle = FormBorderStyle::FixedDialog;
        hasTitleBar = true;
        ControlBox = true;
        Label1.Move(120, 120, 1500, 300), Label1.borderStyle = ControlBorder::Single;
        Check1.Move(120, 600, 1500, 300), Check1.Enabled = true;
        Check1.setValue(1);
        Command1.Move(2400, 120, 1200, 405);
        Picture1.Move(2400, 900, 900, 600), Picture1.borderStyle = ControlBorder::Single;
        Picture2.Move(-150, 1800, 900, 600), Picture2.borderStyle = ControlBorder::None;
        Line1.X1 = 150, Line1.Y1 = 2700, Line1.X2 = 4050, Line1.Y2 = 2400, Line1.BorderWidth = 3;
    }
    Label Label1{*this, "Label1"};
    CheckBox Check1{*this, "Check1"};
    CommandButton Command1{*this, "Command1"};
    PictureBox Picture1{*this, "Picture1"};
    PictureBox Picture2{*this, "Picture2"};
    Line Line1{*this, "Line1"};
};

std::shared_ptr<const Image> gradient(int w, int h) {
    auto image = std::make_shared<Image>();
    image->width = w, image->height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->pixels.push_back(Rgb{static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 5), 99});
    return image;
}

Image render(const Form& form, int dpi, bool withFrame = true) {
    const sysaccess::paint::Renderer renderer(sysaccess::paint::platformFonts());
    RenderOptions options;
    options.dpi = dpi;
    options.withFrame = withFrame;
    return renderer.render(form, options);
}

}  // namespace

TEST(Density, TwipsAndFixedSizesFollowTheDensity) {
    struct Case {
        int dpi, twipsOf15, frame, checkBox, line;
    };
    // 1440 twips are an inch at every density; a fixed size of n pixels at 96
    // dpi is n * dpi / 96 to the nearest pixel, a line of the look whole pixels.
    for (const Case c : {Case{96, 15, 3, 13, 1}, Case{120, 19, 4, 16, 1}, Case{144, 23, 5, 20, 2},
                         Case{168, 26, 5, 23, 2}, Case{192, 30, 6, 26, 2}, Case{240, 38, 8, 33, 3},
                         Case{288, 45, 9, 39, 3}}) {
        const Density d(c.dpi);
        EXPECT_EQ(d.pixels(1440), c.dpi) << c.dpi;
        EXPECT_EQ(d.twips(c.dpi), 1440) << c.dpi;
        EXPECT_EQ(d.pixels(225), c.twipsOf15) << c.dpi;  // 15 pixels at 96
        EXPECT_EQ(d.scale(3), c.frame) << c.dpi;
        EXPECT_EQ(d.scale(13), c.checkBox) << c.dpi;
        EXPECT_EQ(d.line(), c.line) << c.dpi;
        EXPECT_EQ(d.unscale(d.scale(18)), 18) << c.dpi;
    }
    // Halves round up, negative positions too (a control cut by its container's edge).
    EXPECT_EQ(Density(96).pixels(-245), -16);
    EXPECT_EQ(Density(96).pixels(-7), 0);
    EXPECT_EQ(Density(96).pixels(-8), -1);
    EXPECT_EQ(Density(120).pixels(6), 1);   // 0.5 pixel
    EXPECT_EQ(Density(120).pixels(-6), 0);  // -0.5 pixel
    EXPECT_EQ(Density(192).pixels(-245), -33);
    EXPECT_EQ(Density(192).twips(-1), -8);
    EXPECT_EQ(Density(0).dpi(), sysaccess::paint::SmallestDpi);
}

TEST(Density, FontsComeOutAtTheirPointSizeForTheDensity) {
    using sysaccess::paint::pixelSize;
    EXPECT_EQ(pixelSize(8.25, 192), 22);
    EXPECT_EQ(pixelSize(18, 192), 48);
    EXPECT_EQ(pixelSize(8.25, 120), 14);    // 13.75
    EXPECT_EQ(pixelSize(8.25, 144), 17);    // 16.5 rounds up
    EXPECT_EQ(pixelSize(9.75, 144), 20);    // 19.5
    Font dialog;                            // the dialog font: 8 points whatever its size says
    dialog.dpi = 192;
    EXPECT_EQ(pixelSize(dialog), 21);       // 10.67 at 96 -> 21.33
    auto fonts = sysaccess::paint::platformFonts();
    Font times{"Times New Roman", 18, true, false, 0};
    const auto m96 = fonts->metrics(times);
    times.dpi = 192;
    const auto m192 = fonts->metrics(times);
    EXPECT_NEAR(m192.height(), 2 * m96.height(), 2);
    EXPECT_NEAR(fonts->measure(times, U"Universal Serial Bus"),
                2 * fonts->measure(Font{"Times New Roman", 18, true, false, 0}, U"Universal Serial Bus"), 8);
}

TEST(Density, At192EveryWindowIsExactlyTwiceAsLargeAndItsControlsTwiceAsLarge) {
    Plain form;
    form.Picture1.picture = gradient(70, 50);  // larger than the box: clipped by it
    form.Picture2.picture = gradient(40, 30);
    form.Line1.Visible = false;  // a round pen twice as wide is no pixel-exact copy: counted below
    const Image at96 = render(form, 96);
    const Image at192 = render(form, 192);
    // 4500 x 3000 twips: 300 x 200 pixels, plus the dialog frame (3) and title bar (19).
    ASSERT_EQ(at96.width, 300 + 6);
    ASSERT_EQ(at96.height, 200 + 6 + 19);
    ASSERT_EQ(at192.width, 2 * at96.width);
    ASSERT_EQ(at192.height, 2 * at96.height);
    // Every pixel of the standard drawing is a square of four at 192 dpi:
    // frame, bevels, check box and mark, close box, pictures, line.
    int differing = 0;
    for (int y = 0; y < at192.height; ++y) {
        for (int x = 0; x < at192.width; ++x) {
            if (at192.at(x, y) != at96.at(x / 2, y / 2)) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    if (const char* dir = std::getenv("SCREENSHOT_DIR")) {
        std::ofstream(std::string(dir) + "/plain96.png", std::ios::binary) << sysaccess::paint::encodePng(at96);
        std::ofstream(std::string(dir) + "/plain192.png", std::ios::binary) << sysaccess::paint::encodePng(at192);
    }
    // The line: a pen of 3 pixels becomes one of 6, some four times the pixels.
    form.Line1.Visible = true;
    const auto black = [](const Image& img) {
        int n = 0;
        for (const Rgb& p : img.pixels) n += p == Rgb{0, 0, 0};
        return n;
    };
    const int line96 = black(render(form, 96)) - black(at96), line192 = black(render(form, 192)) - black(at192);
    EXPECT_GT(line96, 3 * 250);
    EXPECT_NEAR(line192, 4 * line96, line96 / 10);
    // The geometry the drivers hit-test with doubles as well.
    const auto g96 = sysaccess::paint::frameGeometry(form, 96), g192 = sysaccess::paint::frameGeometry(form, 192);
    EXPECT_EQ(g192.client, (sysaccess::paint::Rect{6, 44, 600, 400}));
    EXPECT_EQ(g192.closeBox.x, 2 * g96.closeBox.x);
    EXPECT_EQ(g192.closeBox.w, 32);
    EXPECT_EQ(g192.titleBar.h, 2 * g96.titleBar.h);
}

TEST(Density, ControlRectanglesFollowTheTwipsAtEachDensity) {
    Plain form;
    form.Picture1.picture.reset();
    form.Picture1.BackColor = RGB(255, 0, 0);
    form.Picture1.borderStyle = ControlBorder::None;
    // Picture1: (2400, 900) twips, 900 x 600: red exactly there, at 96, 120, 144 and 192 dpi.
    for (int dpi : {96, 120, 144, 192}) {
        const Density d(dpi);
        const Image client = render(form, dpi, false);
        EXPECT_EQ(client.width, d.pixels(4500)) << dpi;
        EXPECT_EQ(client.height, d.pixels(3000)) << dpi;
        const int x0 = d.pixels(2400), y0 = d.pixels(900), x1 = x0 + d.pixels(900), y1 = y0 + d.pixels(600);
        int inside = 0, outside = 0;
        for (int y = 0; y < client.height; ++y) {
            for (int x = 0; x < client.width; ++x) {
                const bool red = client.at(x, y) == Rgb{255, 0, 0};
                const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
                inside += in && red;
                outside += !in && red;
            }
        }
        EXPECT_EQ(inside, (x1 - x0) * (y1 - y0)) << dpi;
        EXPECT_EQ(outside, 0) << dpi;
    }
}

TEST(Density, PicturesGrowWithTheDensityPixelForPixelAtAWholeFactor) {
    Plain form;
    form.Picture2.picture = gradient(40, 30);
    // Picture2 starts at -150 twips: at 192 dpi (7.5 twips a pixel) 20 of
    // its pixels lie left of the window, so column 0 shows picture column 10.
    const Image at192 = render(form, 192, false);
    const Density d(192);
    const int top = d.pixels(1800);
    const auto& pic = *form.Picture2.picture;
    for (int y = 0; y < 2 * 30; ++y) {
        for (int x = 0; x < 2 * 40 - 20; ++x) {
            ASSERT_EQ(at192.at(x, top + y), pic.at((x + 20) / 2, y / 2)) << x << "," << y;
        }
    }
    // At 120 and 144 dpi the picture is 1.25 and 1.5 times as large: its last
    // row ends where its 30 rows of 96 dpi end at the density, the box's
    // background below it.
    for (int dpi : {120, 144}) {
        const Image image = render(form, dpi, false);
        const Density dd(dpi);
        const int bottom = dd.pixels(1800) + dd.scale(30);
        const Rgb face = image.at(0, dd.pixels(1800) + dd.pixels(600) - 1);
        EXPECT_NE(image.at(5, bottom - 1), face) << dpi;
        EXPECT_EQ(image.at(5, bottom), face) << dpi;
        // The gradient's top row, its green 0, runs across the box.
        EXPECT_EQ(image.at(5, dd.pixels(1800)).g, 0) << dpi;
    }
}

TEST(Density, TheRenderKeyChangesWithTheDensity) {
    Plain form;
    RenderOptions options;
    const sysaccess::paint::RenderKey at96(form, options);
    options.dpi = 192;
    EXPECT_FALSE(sysaccess::paint::RenderKey(form, options) == at96);
    options.dpi = 96;
    EXPECT_TRUE(sysaccess::paint::RenderKey(form, options) == at96);
}
