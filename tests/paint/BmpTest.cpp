#include "sysaccess/paint/Bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "fixtures/CountingInput.h"

using namespace sysaccess::paint;
using namespace std::string_literals;
using Pixels = std::vector<Rgb>;

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{};
const std::string kRedBlue = "\0\0\xFF\0\xFF\0\0\0"s;  // two palette entries, BGRx

void put(std::string& file, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

// A bitmap file; `palette` holds raw entries, `rows` unpadded rows in file order.
std::string bmp(int width, int height, int bits, const std::string& palette,
                const std::vector<std::string>& rows, std::uint32_t headerSize = 40,
                std::uint32_t compression = 0) {
    std::string file = "BM" + std::string(12 + headerSize, '\0');
    put(file, 14, headerSize, 4);
    const bool core = headerSize == 12;
    put(file, 18, width, core ? 2 : 4);
    put(file, core ? 20 : 22, height, core ? 2 : 4);
    put(file, core ? 22 : 26, 1, 2);
    put(file, core ? 24 : 28, bits, 2);
    if (!core) put(file, 30, compression, 4), put(file, 46, palette.size() / 4, 4);
    if (compression == 3) {
        if (headerSize == 40) file.resize(file.size() + 12);
        put(file, 54, 0xFF0000, 4), put(file, 58, 0xFF00, 4), put(file, 62, 0xFF, 4);
    }
    file += palette;
    put(file, 10, static_cast<std::uint32_t>(file.size()), 4);
    for (const std::string& row : rows) file += row + std::string((4 - row.size() % 4) % 4, '\0');
    return file;
}

}  // namespace

TEST(Bmp, EncoderWritesPaddedBottomUpRowsThatDecodeBack) {
    const Image image{3, 2, {kRed, kGreen, kBlue, kWhite, kBlack, Rgb{1, 2, 3}}};
    const std::string file = encodeBmp24(image);
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(file.substr(54, 3), "\xFF\xFF\xFF"s);  // bottom row first
    const auto decoded = decodeBmp(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 3);
    EXPECT_EQ(decoded->pixels, image.pixels);
    EXPECT_THROW(encodeBmp24(Image{2, 2, {kRed}}), std::invalid_argument);
}

TEST(Bmp, IndexedDepthsAndRowOrder) {
    const std::string blackWhite = "\0\0\0\0\xFF\xFF\xFF\0"s;
    const auto one = decodeBmp(bmp(10, 1, 1, blackWhite, {"\xB0\x80"s}));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->pixels, (Pixels{kWhite, kBlack, kWhite, kWhite, kBlack, kBlack, kBlack, kBlack, kWhite, kBlack}));
    const auto four = decodeBmp(bmp(3, 1, 4, kRedBlue + "\0\xFF\0\0"s, {"\x20\x10"s}));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->pixels, (Pixels{kGreen, kRed, kBlue}));
    const auto bottomUp = decodeBmp(bmp(2, 2, 8, kRedBlue, {"\1\0"s, "\0\0"s}));
    const auto topDown = decodeBmp(bmp(2, -2, 8, kRedBlue, {"\1\0"s, "\0\0"s}));
    ASSERT_TRUE(bottomUp && topDown);
    EXPECT_EQ(bottomUp->pixels, (Pixels{kRed, kRed, kBlue, kRed}));
    EXPECT_EQ(topDown->pixels, (Pixels{kBlue, kRed, kRed, kRed}));
}

TEST(Bmp, EveryHeaderKindAndThirtyTwoBitLayout) {
    const std::string bgr = "\1\2\3\4\5\6"s, bgrx = "\1\2\3\x7F\4\5\6\x7F"s;
    for (const std::string& file : {bmp(2, 1, 24, "", {bgr}, 12), bmp(2, 1, 24, "", {bgr}, 108),
                                    bmp(2, 1, 24, "", {bgr}, 124), bmp(2, 1, 32, "", {bgrx}),
                                    bmp(2, 1, 32, "", {bgrx}, 40, 3), bmp(2, 1, 32, "", {bgrx}, 124, 3)}) {
        const auto image = decodeBmp(file);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixels, (Pixels{{3, 2, 1}, {6, 5, 4}}));
    }
    const auto core = decodeBmp(bmp(2, 1, 1, "\0\0\xFF\xFF\0\0"s, {"\x40"s}, 12));
    ASSERT_TRUE(core);
    EXPECT_EQ(core->pixels, (Pixels{kRed, kBlue}));
}

TEST(Bmp, MalformedFilesAreNotLoadable) {
    const std::string valid = bmp(2, 2, 8, kRedBlue, {"\1\0"s, "\0\1"s});
    ASSERT_TRUE(decodeBmp(valid));
    ASSERT_TRUE(decodeBmp(valid.substr(0, valid.size() - 2)));  // last row's padding may be missing
    for (std::size_t size = 0; size < valid.size() - 2; ++size) EXPECT_FALSE(decodeBmp(valid.substr(0, size)));

    const struct { std::size_t at; std::uint32_t value; int size; } patches[] = {
        {0, 'X', 1}, {14, 64, 4}, {14, 0x7FFFFFF0, 4}, {26, 2, 2}, {18, 0, 4}, {18, 0xFFFFFFFF, 4},
        {22, 0, 4}, {22, 0x80000000, 4}, {22, static_cast<std::uint32_t>(-kMaxBmpSide - 1), 4},
        {28, 16, 2}, {28, 2, 2}, {30, 1, 4}, {30, 3, 4}, {46, 257, 4}, {10, 61, 4}, {10, 0xFFFFFFF0, 4},
        {static_cast<std::size_t>(valid.size() - 4), 2, 1}};  // palette index 2 of 2 colours
    for (const auto& p : patches) {
        std::string file = valid;
        put(file, p.at, p.value, p.size);
        EXPECT_FALSE(decodeBmp(file)) << "offset " << p.at << " value " << p.value;
    }
    std::string otherMasks = bmp(1, 1, 32, "", {"\1\2\3\4"s}, 40, 3);
    ASSERT_TRUE(decodeBmp(otherMasks));
    put(otherMasks, 54, 0xF800, 4);
    EXPECT_FALSE(decodeBmp(otherMasks));
    EXPECT_TRUE(decodeBmp(bmp(kMaxBmpSide, 1, 8, kRedBlue, {std::string(kMaxBmpSide, '\0')})));
    EXPECT_FALSE(decodeBmp(bmp(kMaxBmpSide + 1, 1, 8, kRedBlue, {std::string(kMaxBmpSide + 1, '\0')})));
    EXPECT_FALSE(decodeBmp(bmp(kMaxBmpSide, 4097, 1, kRedBlue, std::vector(4097, std::string(2048, '\0')))));
}

TEST(Bmp, ThousandsOfMutatedAndTruncatedFilesNeverBreakTheDecoder) {
    const std::vector<std::string> seeds{
        bmp(2, 2, 8, kRedBlue, {"\1\0"s, "\0\1"s}), bmp(9, -2, 1, kRedBlue, {"\xAA\x80"s, "\x55\0"s}),
        bmp(3, 3, 4, kRedBlue, {"\x01\x10"s, "\x10\x00"s, "\x11\x10"s}, 108),
        bmp(2, 2, 32, "", {std::string(8, '\7'), std::string(8, '\1')}, 124, 3),
        bmp(2, 1, 24, "", {"\1\2\3\4\5\6"s}, 12), encodeBmp24(Image{3, 1, {kRed, kGreen, kBlue}})};
    const std::uint32_t extremes[] = {0, 1, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 16384, 16385, 0x10000};
    std::mt19937 random(20240611);
    auto pick = [&](std::size_t bound) { return static_cast<std::size_t>(random() % bound); };
    int loaded = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string file = seeds[pick(seeds.size())];
        for (std::size_t n = 1 + pick(4); n > 0 && file.size() >= 58; --n) {
            switch (pick(4)) {
            case 0: file[pick(file.size())] = static_cast<char>(random()); break;
            case 1: file[pick(58)] = static_cast<char>(random()); break;
            case 2: put(file, 2 + 4 * pick(14), extremes[pick(std::size(extremes))], 4); break;
            default: file.resize(pick(file.size() + 1)); break;
            }
        }
        // Read from a file in pieces, every picture answers as its bytes do.
        sysaccess::files::MemoryInputFile input(file);
        const auto fromFile = readBmp(input);
        ASSERT_EQ(fromFile.has_value(), decodeBmp(file).has_value());
        if (fromFile) {
            ASSERT_EQ(fromFile->pixels, decodeBmp(file)->pixels);
        }
        if (const auto image = decodeBmp(file)) {
            ++loaded;
            ASSERT_TRUE(image->width > 0 && image->width <= kMaxBmpSide);
            ASSERT_TRUE(image->height > 0 && image->height <= kMaxBmpSide);
            ASSERT_EQ(image->pixels.size(), static_cast<std::size_t>(image->width) * image->height);
        }
    }
    EXPECT_GT(loaded, 1000);
    EXPECT_LT(loaded, 19000);
}

TEST(Bmp, FromAFileOnlyTheHeadersAndTheDeclaredPixelsAreRead) {
    const std::string header = encodeBmp24(Image{64, 64, Pixels(64 * 64, kBlack)}).substr(0, 54);
    const std::uint64_t twoGigabytes = 2ull << 30;
    fixtures::CountingInput brand(header, twoGigabytes);  // the pixels are the zeros after the header
    const auto image = readBmp(brand);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Pixels(64 * 64, kBlack));
    EXPECT_LE(brand.bytesRead, 54u + 256 * 4 + 124 + 64 * 64 * 3);

    // Pixels declared beyond the end of the file: nothing past the headers is read.
    std::string huge = bmp(kMaxBmpSide, 4096, 32, "", {});
    fixtures::CountingInput shortFile(huge, huge.size() + 1000);
    EXPECT_FALSE(readBmp(shortFile));
    EXPECT_LE(shortFile.bytesRead, 2048u);
    put(huge, 10, 0xFFFFFF00u, 4);  // pixels far beyond a large file
    fixtures::CountingInput farOffset(huge, twoGigabytes);
    EXPECT_FALSE(readBmp(farOffset));
    EXPECT_LE(farOffset.bytesRead, 2048u);
    // Dimensions beyond the limits are refused whatever the file holds.
    fixtures::CountingInput tooWide(bmp(kMaxBmpSide + 1, 1, 24, "", {}), twoGigabytes);
    EXPECT_FALSE(readBmp(tooWide));
    EXPECT_LE(tooWide.bytesRead, 2048u);
}
