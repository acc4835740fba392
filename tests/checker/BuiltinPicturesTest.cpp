// The pictures, icons and cursor built into the programs: the sizes and
// colour depths their files declare, the colours they use, the hand's hot
// spot, and the windows that show them.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <tuple>

#include "CheckerHarness.h"
#include "checker/frmGood.h"
#include "checker/frmWrong.h"
#include "resources/Resources.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/paint/Ico.h"
#include "sysaccess/ui/Builtin.h"

using namespace sysaccess::paint;
using sysaccess::ui::BuiltinIcon;
using sysaccess::ui::BuiltinPicture;
using sysaccess::ui::PictureBox;

namespace {

unsigned u16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

std::set<std::tuple<int, int, int>> coloursOf(const Image& image) {
    std::set<std::tuple<int, int, int>> out;
    for (const Rgb& p : image.pixels) out.insert({p.r, p.g, p.b});
    return out;
}

std::set<std::tuple<int, int, int>> opaqueColours(const IconImage& icon) {
    std::set<std::tuple<int, int, int>> out;
    for (std::size_t i = 0; i < icon.mask.size(); ++i)
        if (!icon.mask[i]) out.insert({icon.image.pixels[i].r, icon.image.pixels[i].g, icon.image.pixels[i].b});
    return out;
}

std::size_t clearCount(const IconImage& icon) {
    std::size_t n = 0;
    for (auto m : icon.mask) n += m;
    return n;
}

}  // namespace

TEST(BuiltinPictures, BitmapsHaveTheirSizesDepthsAndColours) {
    struct Want {
        const char* name;
        int width, height;
        unsigned bits;
        std::size_t colours;
    };
    for (const Want& w : {Want{"brand.bmp", 180, 141, 24, 2}, Want{"cable_right.bmp", 128, 36, 8, 83},
                          Want{"cable_left.bmp", 131, 33, 8, 82}, Want{"usblogo.bmp", 200, 98, 8, 32}}) {
        SCOPED_TRACE(w.name);
        const std::string_view bytes = resources::find(w.name);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(u16(bytes, 28), w.bits);
        EXPECT_EQ(u16(bytes, 30), 0u);  // uncompressed
        const auto picture = BuiltinPicture(w.name);
        EXPECT_EQ(picture->width, w.width);
        EXPECT_EQ(picture->height, w.height);
        EXPECT_EQ(coloursOf(*picture).size(), w.colours);
    }
    using C = std::tuple<int, int, int>;
    EXPECT_EQ(coloursOf(*BuiltinPicture("brand.bmp")), (std::set<C>{{0, 128, 128}, {192, 192, 192}}));
    const auto logo = coloursOf(*BuiltinPicture("usblogo.bmp"));
    for (C c : {C{0, 0, 153}, C{0, 0, 0}, C{255, 255, 255}}) EXPECT_TRUE(logo.count(c));
    for (const char* cable : {"cable_right.bmp", "cable_left.bmp"}) {
        for (auto [r, g, b] : coloursOf(*BuiltinPicture(cable))) {
            EXPECT_TRUE(r == g && g == b) << cable;
        }
    }
    // The right-plug cable runs in from the left edge; its mirror starts
    // with the plug's tip, clear of the edge, and runs out at the right.
    const auto right = BuiltinPicture("cable_right.bmp");
    const auto left = BuiltinPicture("cable_left.bmp");
    EXPECT_LT(right->at(0, 12).r, 200);
    EXPECT_EQ(right->at(right->width - 1, 12), (Rgb{255, 255, 255}));
    EXPECT_EQ(left->at(0, 12), (Rgb{255, 255, 255}));
    EXPECT_LT(left->at(left->width - 1, 12).r, 200);
    // Both show their cable within the 25 rows their boxes let through.
    EXPECT_EQ(right->at(60, 30), (Rgb{255, 255, 255}));
}

TEST(BuiltinPictures, IconsAndCursorHaveTheirImagesMasksAndHotSpot) {
    const auto window = readIconDirectory(resources::find("busclean.ico"));
    ASSERT_TRUE(window);
    ASSERT_EQ(window->entries.size(), 1u);
    EXPECT_EQ(window->entries[0].width, 32);
    EXPECT_EQ(window->entries[0].bits, 4);
    const auto carton = BuiltinIcon("busclean.ico", 32);
    EXPECT_GT(clearCount(*carton), 50u);
    EXPECT_LT(clearCount(*carton), 32u * 32 - 300);
    const auto cartonColours = opaqueColours(*carton);
    EXPECT_LE(cartonColours.size(), 16u);
    EXPECT_TRUE(cartonColours.count({255, 0, 0}));  // the letters
    EXPECT_TRUE(cartonColours.count({0, 0, 255}));  // the cross

    const auto cursor = readIconDirectory(resources::find("hand.cur"));
    ASSERT_TRUE(cursor && cursor->cursor);
    ASSERT_EQ(cursor->entries.size(), 1u);
    EXPECT_EQ(cursor->entries[0].bits, 4);
    const auto hand = BuiltinIcon("hand.cur", 32);
    EXPECT_EQ(hand->image.width, 32);
    EXPECT_EQ(hand->hotX, 12);
    EXPECT_EQ(hand->hotY, 1);
    EXPECT_FALSE(hand->transparent(12, 1));  // the hot spot is the fingertip
    EXPECT_TRUE(hand->transparent(12, 0));
    EXPECT_TRUE(opaqueColours(*hand).count({255, 255, 255}));
    EXPECT_TRUE(opaqueColours(*hand).count({0, 0, 255}));

    const auto program = readIconDirectory(resources::find("busprobe.ico"));
    ASSERT_TRUE(program);
    ASSERT_EQ(program->entries.size(), 3u);
    std::set<std::pair<int, int>> images;
    for (const IconEntry& e : program->entries) images.insert({e.width, e.bits});
    EXPECT_EQ(images, (std::set<std::pair<int, int>>{{32, 1}, {32, 4}, {16, 4}}));
    EXPECT_EQ(opaqueColours(*decodeIcon(resources::find("busprobe.ico"), 32, 1)).size(), 2u);
    EXPECT_EQ(BuiltinIcon("busprobe.ico", 16)->image.width, 16);
    EXPECT_TRUE(opaqueColours(*BuiltinIcon("busprobe.ico", 32)).count({0, 255, 255}));

    for (const char* name : {"stop.ico", "question.ico", "exclamation.ico"}) {
        SCOPED_TRACE(name);
        const auto dir = readIconDirectory(resources::find(name));
        ASSERT_TRUE(dir);
        ASSERT_EQ(dir->entries.size(), 1u);
        EXPECT_TRUE(dir->entries[0].bits == 4 || dir->entries[0].bits == 8);
        const auto icon = BuiltinIcon(name, 32);
        EXPECT_EQ(icon->image.width, 32);
        EXPECT_TRUE(icon->transparent(0, 0));
        EXPECT_FALSE(icon->transparent(16, 16));
    }
    EXPECT_TRUE(opaqueColours(*BuiltinIcon("stop.ico", 32)).count({255, 255, 255}));
}

TEST(BuiltinPictures, MissingOnesAreABuildFaultAndDecodedOnesAreShared) {
    EXPECT_THROW(BuiltinPicture("nothing.bmp"), std::logic_error);
    EXPECT_THROW(BuiltinIcon("nothing.ico", 32), std::logic_error);
    EXPECT_THROW(BuiltinPicture("stop.ico"), std::logic_error);  // present, but no bitmap
    EXPECT_EQ(BuiltinPicture("brand.bmp"), BuiltinPicture("brand.bmp"));
}

TEST(BuiltinPictures, CheckerWindowsShowThemInTheirDesign) {
    checker_test::CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", checker_test::Contacts);
    run.start();
    auto& brand = run.control<PictureBox>("frmLogo", "Picture1");
    EXPECT_EQ(brand.picture, BuiltinPicture("brand.bmp"));
    const busprobe::frmGood good;
    EXPECT_EQ(good.Picture1.picture, BuiltinPicture("cable_right.bmp"));
    EXPECT_EQ(good.Picture2.picture, BuiltinPicture("cable_left.bmp"));
    EXPECT_EQ(good.Picture3.picture, BuiltinPicture("usblogo.bmp"));
    const busprobe::frmWrong wrong;
    EXPECT_EQ(wrong.Picture1.picture, BuiltinPicture("cable_right.bmp"));
    EXPECT_EQ(wrong.Picture3.picture, BuiltinPicture("usblogo.bmp"));
}
