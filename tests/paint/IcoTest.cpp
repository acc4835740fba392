// Icon and cursor files: every colour depth with its mask, the choice of an
// image by size and depth, cursor hot spots, and malformed files.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sysaccess/paint/Ico.h"

using namespace sysaccess::paint;

namespace {

void put16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

struct Spec {
    int width = 3, height = 2, bits = 4;
    std::vector<Rgb> palette;                          // for bits <= 8
    std::function<unsigned(int, int)> index;           // palette index, bits <= 8
    std::function<Rgb(int, int)> colour;               // bits 24 and 32
    std::function<bool(int, int)> clear;               // AND mask bit
    std::function<std::uint8_t(int, int)> alpha = [](int, int) { return std::uint8_t{0}; };
    int hotX = 0, hotY = 0;
    std::string raw;  // used instead of the bitmap when not empty
};

// One bitmap image with its mask: header, palette, bottom-up rows.
std::string image(const Spec& s) {
    if (!s.raw.empty()) return s.raw;
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(s.width));
    put32(out, static_cast<std::uint32_t>(s.height * 2));
    put16(out, 1);
    put16(out, static_cast<unsigned>(s.bits));
    for (int i = 0; i < 6; ++i) put32(out, 0);
    if (s.bits <= 8) {
        for (int i = 0; i < (1 << s.bits); ++i) {
            const Rgb c = i < static_cast<int>(s.palette.size()) ? s.palette[i] : Rgb{};
            out += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
        }
    }
    auto rows = [&](int bits, auto&& value) {
        for (int y = s.height - 1; y >= 0; --y) {
            std::string row;
            unsigned acc = 0, n = 0;
            for (int x = 0; x < s.width; ++x) {
                if (bits >= 24) {
                    const Rgb c = s.colour(x, y);
                    row += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
                    if (bits == 32) row.push_back(static_cast<char>(s.alpha(x, y)));
                    continue;
                }
                acc = acc << bits | value(x, y);
                n += bits;
                if (n == 8) row.push_back(static_cast<char>(acc)), acc = 0, n = 0;
            }
            if (n) row.push_back(static_cast<char>(acc << (8 - n)));
            while (row.size() % 4) row.push_back(0);
            out += row;
        }
    };
    rows(s.bits, [&](int x, int y) { return s.index(x, y); });
    rows(1, [&](int x, int y) { return s.clear(x, y) ? 1u : 0u; });
    return out;
}

std::string file(const std::vector<Spec>& specs, bool cursor = false) {
    std::string head, body;
    put16(head, 0);
    put16(head, cursor ? 2 : 1);
    put16(head, static_cast<unsigned>(specs.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * specs.size());
    for (const Spec& s : specs) {
        const std::string data = image(s);
        head.push_back(static_cast<char>(s.width));
        head.push_back(static_cast<char>(s.height));
        head += {0, 0};
        put16(head, static_cast<unsigned>(cursor ? s.hotX : 1));
        put16(head, static_cast<unsigned>(cursor ? s.hotY : s.bits));
        put32(head, static_cast<std::uint32_t>(data.size()));
        put32(head, offset);
        offset += static_cast<std::uint32_t>(data.size());
        body += data;
    }
    return head + body;
}

const Rgb Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255}, White{255, 255, 255};

// A picture whose colour tells its position, with a diagonal of clear pixels.
Spec pattern(int bits, int width = 3, int height = 2) {
    Spec s;
    s.width = width, s.height = height, s.bits = bits;
    s.palette = {Red, Green, Blue, White};
    s.index = [](int x, int y) { return static_cast<unsigned>((x + 2 * y) % 4); };
    if (bits == 1) s.index = [](int x, int y) { return static_cast<unsigned>((x + y) % 2); };
    s.colour = [](int x, int y) { return Rgb{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 90), 7}; };
    s.clear = [](int x, int y) { return x == y; };
    return s;
}

Rgb expected(const Spec& s, int x, int y) {
    return s.bits <= 8 ? s.palette[s.index(x, y)] : s.colour(x, y);
}

}  // namespace

TEST(IcoReader, DecodesEveryDepthTopRowFirstWithItsMask) {
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const Spec s = pattern(bits, 35, 3);  // wider than one 32-bit mask word
        const auto icon = decodeIcon(file({s}), 35);
        ASSERT_TRUE(icon);
        ASSERT_EQ(icon->image.width, 35);
        ASSERT_EQ(icon->image.height, 3);
        ASSERT_EQ(icon->mask.size(), 35u * 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 35; ++x) {
                EXPECT_EQ(icon->image.at(x, y), expected(s, x, y)) << x << "," << y;
                EXPECT_EQ(icon->transparent(x, y), x == y) << x << "," << y;
            }
        }
        EXPECT_EQ(icon->hotX, 0);
        EXPECT_EQ(icon->hotY, 0);
    }
}

TEST(IcoReader, AlphaChannelDecidesTransparencyWhenUsed) {
    Spec s = pattern(32);
    s.alpha = [](int x, int) { return static_cast<std::uint8_t>(x == 0 ? 0 : x == 1 ? 127 : 255); };
    const auto icon = decodeIcon(file({s}), 3);
    ASSERT_TRUE(icon);
    for (int y = 0; y < 2; ++y) {
        EXPECT_TRUE(icon->transparent(0, y));
        EXPECT_TRUE(icon->transparent(1, y));
        EXPECT_FALSE(icon->transparent(2, y));  // the mask says clear at (1,1), alpha wins
    }
}

TEST(IcoReader, ChoosesNearestSizeThenDepthAndSkipsUnloadableImages) {
    Spec png;
    png.width = 32, png.height = 32;
    png.raw = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0');
    Spec broken = pattern(8, 32, 32);
    broken.raw = image(broken).substr(0, 100);  // truncated: not loadable
    const std::string bytes =
        file({pattern(4, 16, 16), png, pattern(1, 32, 32), broken, pattern(4, 32, 32), pattern(8, 48, 48)});

    const auto dir = readIconDirectory(bytes);
    ASSERT_TRUE(dir);
    EXPECT_FALSE(dir->cursor);
    ASSERT_EQ(dir->entries.size(), 6u);
    EXPECT_TRUE(dir->entries[1].png);
    EXPECT_EQ(dir->entries[1].width, 32);
    EXPECT_EQ(dir->entries[4].bits, 4);
    EXPECT_FALSE(decodeIconEntry(bytes, 1));  // PNG
    EXPECT_FALSE(decodeIconEntry(bytes, 3));  // truncated
    EXPECT_FALSE(decodeIconEntry(bytes, 6));  // no such entry

    auto chosen = [&](int size, int maxBits) {
        const auto icon = decodeIcon(bytes, size, maxBits);
        return icon ? icon->image.width : 0;
    };
    EXPECT_EQ(chosen(32, 32), 32);
    EXPECT_EQ(chosen(20, 32), 16);  // 16 is nearer than 32
    EXPECT_EQ(chosen(24, 32), 32);  // a tie goes to the larger
    EXPECT_EQ(chosen(64, 32), 48);
    const auto deep = decodeIcon(bytes, 32, 32);
    const auto mono = decodeIcon(bytes, 32, 1);
    ASSERT_TRUE(deep && mono);
    EXPECT_EQ(deep->image.at(2, 2), Blue);  // the 4-bit image, not the broken 8-bit one
    EXPECT_EQ(mono->image.at(2, 2), Red);   // the 1-bit image
}

TEST(IcoReader, CursorHotSpotIsReadAndKeptInsideThePicture) {
    Spec s = pattern(4, 32, 32);
    s.hotX = 12, s.hotY = 1;
    const std::string cur = file({s}, true);
    const auto dir = readIconDirectory(cur);
    ASSERT_TRUE(dir && dir->cursor);
    const auto icon = decodeIcon(cur, 32);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->hotX, 12);
    EXPECT_EQ(icon->hotY, 1);
    s.hotX = 500, s.hotY = 40;
    const auto clamped = decodeIcon(file({s}, true), 32);
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->hotX, 31);
    EXPECT_EQ(clamped->hotY, 31);
}

TEST(IcoReader, RejectsMalformedFilesWithoutReadingOutside) {
    const std::string good = file({pattern(8, 5, 4), pattern(24, 3, 2)});
    // Every truncation and every single-byte corruption is either decoded
    // or refused; the sanitizer builds catch any read past the end.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::string cut = good.substr(0, n);
        (void)decodeIcon(cut, 5);
        (void)readIconDirectory(cut);
        for (std::size_t i = 0; i < 2; ++i) (void)decodeIconEntry(cut, i);
    }
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (char v : {'\0', '\x7F', '\xFF'}) {
            std::string bad = good;
            bad[i] = v;
            (void)decodeIcon(bad, 5);
            (void)decodeIconEntry(bad, 0);
        }
    }
    EXPECT_FALSE(readIconDirectory(""));
    EXPECT_FALSE(readIconDirectory(std::string("\0\0\3\0\1\0", 6)));  // type 3
    EXPECT_FALSE(readIconDirectory(std::string("\0\0\1\0\xFF\xFF", 6)));  // entries missing

    auto withHeader = [](Spec s, std::size_t at, std::uint32_t value) {
        std::string data = image(s);
        for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
        s.raw = data;
        return decodeIcon(file({s}), s.width);
    };
    EXPECT_FALSE(withHeader(pattern(4), 8, 5));        // odd doubled height
    EXPECT_FALSE(withHeader(pattern(4), 4, 0));        // no width
    EXPECT_FALSE(withHeader(pattern(4), 4, 257));      // wider than the format allows
    EXPECT_FALSE(withHeader(pattern(4), 8, 0x80000000u));  // negative height
    EXPECT_FALSE(withHeader(pattern(4), 16, 1));       // compressed
    EXPECT_FALSE(withHeader(pattern(4), 32, 17));      // more colours than 4 bits index

    Spec outOfPalette = pattern(4);
    outOfPalette.index = [](int, int) { return 15u; };
    std::string data = image(outOfPalette);
    put32(data, 0);
    data.replace(32, 4, std::string("\2\0\0\0", 4));  // a two-colour palette
    outOfPalette.raw = data;
    EXPECT_FALSE(decodeIcon(file({outOfPalette}), 3));

    std::string farOffset = file({pattern(4)});
    farOffset[6 + 12] = '\x7F';  // the image lies past the end
    EXPECT_FALSE(decodeIcon(farOffset, 3));
    std::string shortMask = file({pattern(4)});
    shortMask.resize(shortMask.size() - 1);
    EXPECT_FALSE(decodeIcon(shortMask, 3));
}
