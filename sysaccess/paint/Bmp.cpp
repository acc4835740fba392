#include "sysaccess/paint/Bmp.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "sysaccess/paint/LittleEndian.h"

namespace sysaccess::paint {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
// Everything readLayout looks at lies within this many bytes from the start:
// the largest header (124 bytes, the masks inside it) and a full palette of
// 256 four-byte entries after it.
constexpr std::size_t kLayoutBytes = kFileHeaderSize + 124 + 256 * 4;

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; see topDown
    bool topDown = false;
    unsigned bits = 0;
    std::vector<Rgb> palette;
    std::uint64_t pixelOffset = 0;
};

bool isInfoHeaderSize(std::uint32_t size) {
    return size == kInfoHeaderSize || size == 52 || size == 56 || size == 108 || size == 124;
}

bool isStandardMasks(const LittleEndian& in, std::size_t at) {
    return in.u32(at) == 0x00FF0000u && in.u32(at + 4) == 0x0000FF00u &&
           in.u32(at + 8) == 0x000000FFu;
}

// Reads the headers and the palette; nullopt for anything not decodable.
std::optional<Layout> readLayout(const LittleEndian& in) {
    if (!in.has(0, kFileHeaderSize + 4) || in.u8(0) != 'B' || in.u8(1) != 'M') return std::nullopt;
    Layout layout;
    layout.pixelOffset = in.u32(10);
    const std::uint32_t headerSize = in.u32(kFileHeaderSize);
    if (!in.has(kFileHeaderSize, headerSize)) return std::nullopt;

    const std::size_t h = kFileHeaderSize;
    unsigned planes = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    std::size_t paletteEntrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        layout.width = in.u16(h + 4);
        layout.height = in.u16(h + 6);
        planes = in.u16(h + 8);
        layout.bits = in.u16(h + 10);
        paletteEntrySize = 3;
        if (layout.bits == 32) return std::nullopt;
    } else if (isInfoHeaderSize(headerSize)) {
        layout.width = in.i32(h + 4);
        const std::int64_t height = in.i32(h + 8);
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        planes = in.u16(h + 12);
        layout.bits = in.u16(h + 14);
        compression = in.u32(h + 16);
        colorsUsed = in.u32(h + 32);
    } else {
        return std::nullopt;
    }

    if (planes != 1 || layout.width <= 0 || layout.height <= 0 || layout.width > kMaxBmpSide ||
        layout.height > kMaxBmpSide || layout.width * layout.height > kMaxBmpPixels)
        return std::nullopt;
    const unsigned bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

    std::uint64_t tableStart = h + headerSize;
    if (compression == kBitFields) {
        if (bits != 32) return std::nullopt;
        // A 40-byte header keeps its masks after itself; later ones inside.
        const std::size_t masksAt = h + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) tableStart += 12;
        if (!in.has(masksAt, 12) || !isStandardMasks(in, masksAt)) return std::nullopt;
    } else if (compression != kRgb) {
        return std::nullopt;
    }

    std::uint64_t tableEnd = tableStart;
    if (bits <= 8) {
        const std::uint64_t maxColors = 1u << bits;
        const std::uint64_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors) return std::nullopt;
        tableEnd = tableStart + count * paletteEntrySize;
        if (!in.has(tableStart, tableEnd - tableStart)) return std::nullopt;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::size_t at = tableStart + i * paletteEntrySize;
            layout.palette.push_back(Rgb{in.u8(at + 2), in.u8(at + 1), in.u8(at)});
        }
    }
    if (layout.pixelOffset < tableEnd) return std::nullopt;
    return layout;
}

std::uint64_t strideOf(const Layout& layout) {
    return (static_cast<std::uint64_t>(layout.width) * layout.bits + 31) / 32 * 4;
}

// The pixel bytes the layout declares: every row padded to 4 bytes, except
// that the padding of the last row may be missing.
std::uint64_t pixelBytesOf(const Layout& layout) {
    const std::uint64_t lastRow = (static_cast<std::uint64_t>(layout.width) * layout.bits + 7) / 8;
    return strideOf(layout) * (layout.height - 1) + lastRow;
}

// Decodes the pixels, which begin at `pixelsAt` in `in`.
std::optional<Image> decodePixels(const LittleEndian& in, const Layout& layout, std::uint64_t pixelsAt) {
    const std::uint64_t stride = strideOf(layout);
    if (!in.has(pixelsAt, pixelBytesOf(layout))) return std::nullopt;

    Image image;
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    image.pixels.resize(static_cast<std::size_t>(layout.width * layout.height));

    const unsigned bits = layout.bits;
    const unsigned indexMask = (1u << (bits <= 8 ? bits : 0)) - 1;
    for (std::int64_t row = 0; row < layout.height; ++row) {
        const std::size_t rowAt = pixelsAt + row * stride;
        const std::int64_t y = layout.topDown ? row : layout.height - 1 - row;
        Rgb* out = &image.pixels[static_cast<std::size_t>(y * layout.width)];
        for (std::int64_t x = 0; x < layout.width; ++x) {
            if (bits <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
                const unsigned shift = 8 - bits - bit % 8;
                const unsigned index = (in.u8(rowAt + bit / 8) >> shift) & indexMask;
                if (index >= layout.palette.size()) return std::nullopt;
                out[x] = layout.palette[index];
            } else {
                const std::size_t at = rowAt + x * (bits / 8);
                out[x] = Rgb{in.u8(at + 2), in.u8(at + 1), in.u8(at)};
            }
        }
    }
    return image;
}

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

std::optional<Image> decodeBmp(std::string_view bytes) {
    const LittleEndian in(bytes);
    const std::optional<Layout> layout = readLayout(in);
    if (!layout) return std::nullopt;
    return decodePixels(in, *layout, layout->pixelOffset);
}

std::optional<Image> readBmp(files::InputFile& file) {
    const std::uint64_t fileSize = file.size();
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kLayoutBytes)), '\0');
    file.seek(0);
    head.resize(files::readUpTo(file, head.data(), head.size()));
    const std::optional<Layout> layout = readLayout(LittleEndian(head));
    if (!layout) return std::nullopt;

    const std::uint64_t count = pixelBytesOf(*layout);
    if (layout->pixelOffset > fileSize || count > fileSize - layout->pixelOffset) return std::nullopt;
    std::string pixels(static_cast<std::size_t>(count), '\0');
    file.seek(layout->pixelOffset);
    // A file that shrank since it was opened comes up short here.
    pixels.resize(files::readUpTo(file, pixels.data(), pixels.size()));
    return decodePixels(LittleEndian(pixels), *layout, 0);
}

std::string encodeBmp24(const Image& image) {
    if (image.width < 0 || image.height < 0 ||
        image.pixels.size() != static_cast<std::uint64_t>(image.width) * image.height)
        throw std::invalid_argument("encodeBmp24: pixel count does not match the image size");
    const std::uint64_t stride = (static_cast<std::uint64_t>(image.width) * 3 + 3) / 4 * 4;
    const std::uint64_t dataSize = stride * image.height;
    const std::uint64_t headersSize = kFileHeaderSize + kInfoHeaderSize;
    if (headersSize + dataSize > std::numeric_limits<std::uint32_t>::max() ||
        image.width > std::numeric_limits<std::int32_t>::max())
        throw std::invalid_argument("encodeBmp24: image too large for a bitmap file");

    std::string out;
    out.reserve(headersSize + dataSize);
    out += "BM";
    put32(out, static_cast<std::uint32_t>(headersSize + dataSize));
    put32(out, 0);  // reserved
    put32(out, static_cast<std::uint32_t>(headersSize));
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height));  // positive: bottom-up
    put16(out, 1);                                         // planes
    put16(out, 24);                                        // bits per pixel
    put32(out, kRgb);
    put32(out, static_cast<std::uint32_t>(dataSize));
    put32(out, 3780);  // 96 dots per inch, in pixels per metre
    put32(out, 3780);
    put32(out, 0);  // colours used
    put32(out, 0);  // colours important

    const std::size_t padding = stride - static_cast<std::uint64_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb p = image.at(x, y);
            out.push_back(static_cast<char>(p.b));
            out.push_back(static_cast<char>(p.g));
            out.push_back(static_cast<char>(p.r));
        }
        out.append(padding, '\0');
    }
    return out;
}

}  // namespace sysaccess::paint
