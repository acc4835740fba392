// Decoding the machine's ANSI texts, and breaking them into lines.
#include <gtest/gtest.h>

#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/TextLayout.h"
#include "sysaccess/paint/freetype/FreeTypeFonts.h"

using namespace sysaccess::paint;

TEST(DecodeAnsi, CodePagesAndBrokenBytes) {
    EXPECT_EQ(decodeAnsi("Plain text", 950), U"Plain text");
    EXPECT_EQ(decodeAnsi("caf\xe9 \x80", 1252), U"caf\u00e9 \u20ac");
    // Big5: 中文 is A4 A4 A4 E5; the same bytes mean other letters in 1252.
    EXPECT_EQ(decodeAnsi("\xa4\xa4\xa4\xe5 USB", 950), U"\u4e2d\u6587 USB");
    EXPECT_EQ(decodeAnsi("\xa4\xa4", 1252), U"\u00a4\u00a4");
    EXPECT_EQ(decodeAnsi("\xd6\xd0\xce\xc4", 936), U"\u4e2d\u6587");
    // A lone lead byte at the end, and a byte that starts no character.
    EXPECT_EQ(decodeAnsi("A\xa4", 950), U"A\uFFFD");
    EXPECT_EQ(decodeAnsi("\xff\xa4\xa4", 950), U"\uFFFD\u4e2d");
    EXPECT_EQ(decodeAnsi("\x81", 1252), U"\uFFFD");
    // An unknown code page reads as Windows-1252.
    EXPECT_EQ(decodeAnsi("\xe9", 4242), U"\u00e9");
    EXPECT_EQ(decodeAnsi("", 950), U"");
}

TEST(FontSubstitutes, DesktopFacesMapToMetricCompatibleOnes) {
    EXPECT_EQ(pixelSize(8.25), 11);
    EXPECT_EQ(pixelSize(9.75), 13);
    EXPECT_EQ(pixelSize(15.75), 21);
    EXPECT_EQ(pixelSize(18), 24);
    EXPECT_EQ(fontRequest({"Times New Roman", 12, true, false, 0}).family, "Liberation Serif");
    EXPECT_EQ(fontRequest({"Arial", 8.25, true, false, 0}).family, "Liberation Sans");
    EXPECT_EQ(fontRequest({"\u65b0\u7d30\u660e\u9ad4", 9, false, false, 136}).family, "AR PL UMing TW");
    const FontRequest dialog = fontRequest({"", 12, false, false, 0});
    EXPECT_EQ(dialog.family, "MS Sans Serif");
    EXPECT_EQ(dialog.pixels, 11);
    EXPECT_EQ(fontRequest({"MS Sans Serif", 8.25, false, false, 0}).family, "MS Sans Serif");

    FreeTypeFonts fonts;
    EXPECT_NE(fonts.fileOf({"Times New Roman", 12, true, false, 0}).find("LiberationSerif-Bold"), std::string::npos);
    EXPECT_NE(fonts.fileOf({"Arial", 8.25, false, false, 0}).find("LiberationSans-Regular"), std::string::npos);
    // The dialog font is the screen font's bitmap strike; other sizes of the
    // face, or its italic, are the metric-compatible outline face.
    EXPECT_NE(fonts.fileOf({"", 8.25, false, false, 0}).find("sserife.fon"), std::string::npos);
    EXPECT_NE(fonts.fileOf({"MS Sans Serif", 14, false, false, 0}).find("LiberationSans"), std::string::npos);
    EXPECT_NE(fonts.fileOf({"", 8.25, false, true, 0}).find("LiberationSans-Italic"), std::string::npos);
    EXPECT_NE(fonts.fileOf({"\u65b0\u7d30\u660e\u9ad4", 9, false, false, 136}).find("uming"), std::string::npos);
    const FontMetrics m = fonts.metrics({"Times New Roman", 18, true, false, 0});
    EXPECT_GE(m.height(), 26);
    EXPECT_LE(m.height(), 29);
}

TEST(TextLayout, WrapsAtWordsKeepsLeadingSpacesAndHonoursLineBreaks) {
    FreeTypeFonts fonts;
    const sysaccess::ui::Font font{"Arial", 10, false, false, 0};
    const int word = fonts.measure(font, U"word");
    const int two = fonts.measure(font, U"word word");
    EXPECT_GT(two, 2 * word);

    EXPECT_EQ(wrapText(fonts, font, U"word word", two), (std::vector<std::u32string>{U"word word"}));
    EXPECT_EQ(wrapText(fonts, font, U"word word", two - 1), (std::vector<std::u32string>{U"word", U"word"}));
    // Spaces at the wrap point vanish; leading ones stay; a long word stands alone.
    EXPECT_EQ(wrapText(fonts, font, U"   word    word  ", two),
              (std::vector<std::u32string>{U"   word", U"word"}));
    EXPECT_EQ(wrapText(fonts, font, U"wordwordword x", word), (std::vector<std::u32string>{U"wordwordword", U"x"}));
    EXPECT_EQ(wrapText(fonts, font, U"a\r\nb\nc\rd", 1000), (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
    EXPECT_EQ(wrapText(fonts, font, U"a\r\n\r\nb", 1000), (std::vector<std::u32string>{U"a", U"", U"b"}));
    EXPECT_EQ(wrapText(fonts, font, U"", 1000), (std::vector<std::u32string>{U""}));

    int underline = 0;
    EXPECT_EQ(stripMnemonic(U"&Uninstall", &underline), U"Uninstall");
    EXPECT_EQ(underline, 0);
    EXPECT_EQ(stripMnemonic(U"A && B&", &underline), U"A & B&");
    EXPECT_EQ(underline, -1);
}

TEST(FreeTypeFonts, DrawsInsideTheClipOnlyAndFallsBackForMissingCharacters) {
    FreeTypeFonts fonts;
    const sysaccess::ui::Font serif{"Times New Roman", 12, true, false, 0};
    Image image{60, 30, std::vector<Rgb>(60 * 30, Rgb{255, 255, 255})};
    auto inked = [&](const Rect& r) {
        int n = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) n += image.at(x, y) != Rgb{255, 255, 255};
        return n;
    };
    // Text running off the image's edges is cut, never written outside.
    fonts.draw(image, Rect{10, 5, 30, 20}, -3, 20, serif, U"WWWWWWWWWW", Rgb{0, 0, 0});
    EXPECT_GT(inked({10, 5, 30, 20}), 50);
    EXPECT_EQ(inked({0, 0, 60, 30}), inked({10, 5, 30, 20}));

    // The serif face has no Chinese; another face draws it, so it is not the
    // empty box of a missing glyph.
    const int han = fonts.measure(serif, U"\u4e2d\u6587");
    EXPECT_GE(han, 28);
    Image a{40, 24, std::vector<Rgb>(40 * 24, Rgb{255, 255, 255})}, b = a;
    fonts.draw(a, Rect{0, 0, 40, 24}, 2, 18, serif, U"\u4e2d", Rgb{0, 0, 0});
    fonts.draw(b, Rect{0, 0, 40, 24}, 2, 18, serif, U"\u6587", Rgb{0, 0, 0});
    EXPECT_NE(a.pixels, b.pixels);
}
