#include "sysaccess/paint/Ico.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "sysaccess/paint/Bmp.h"
#include "sysaccess/paint/LittleEndian.h"

namespace sysaccess::paint {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

struct Directory {
    bool cursor = false;
    std::size_t count = 0;
};

std::optional<Directory> readHead(const LittleEndian& in) {
    if (!in.has(0, kDirectorySize) || in.u16(0) != 0) return std::nullopt;
    const unsigned type = in.u16(2);
    if (type != 1 && type != 2) return std::nullopt;
    Directory dir{type == 2, in.u16(4)};
    if (!in.has(kDirectorySize, kEntrySize * dir.count)) return std::nullopt;
    return dir;
}

// The bytes an entry points at, cut to the file's end.
std::string_view entryBytes(const LittleEndian& in, std::size_t index) {
    const std::size_t at = kDirectorySize + kEntrySize * index;
    const std::uint32_t size = in.u32(at + 8);
    const std::uint32_t offset = in.u32(at + 12);
    if (offset >= in.bytes().size()) return {};
    return in.bytes().substr(offset, size);
}

bool isPng(std::string_view bytes) { return bytes.substr(0, kPngSignature.size()) == kPngSignature; }

struct Header {
    int width = 0;
    int height = 0;  // of the image; the header's height counts the mask too
    unsigned bits = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t paletteSize = 0;  // entries
    std::uint64_t pixelsAt = 0;     // offset of the colour rows in the entry
};

std::optional<Header> readHeader(const LittleEndian& in) {
    if (!in.has(0, kInfoHeaderSize) || in.u32(0) != kInfoHeaderSize) return std::nullopt;
    Header h;
    const std::int64_t width = in.i32(4);
    const std::int64_t doubled = in.i32(8);
    h.bits = in.u16(14);
    h.compression = in.u32(16);
    const std::uint32_t colorsUsed = in.u32(32);
    if (in.u16(12) != 1 || width <= 0 || width > kMaxIconSide || doubled <= 0 || doubled % 2 != 0 ||
        doubled / 2 > kMaxIconSide)
        return std::nullopt;
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(doubled / 2);
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32) return std::nullopt;
    if (h.compression != kRgb && !(h.compression == kBitFields && h.bits == 32)) return std::nullopt;
    if (h.bits <= 8) {
        const std::uint64_t maxColors = 1u << h.bits;
        h.paletteSize = colorsUsed == 0 ? maxColors : colorsUsed;
        if (h.paletteSize > maxColors) return std::nullopt;
    }
    h.pixelsAt = kInfoHeaderSize + (h.compression == kBitFields ? 12 : 0) + h.paletteSize * 4;
    return h;
}

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

// The colour image, decoded by the bitmap reader from a file made of the
// entry's header (with the image's own height) and the bytes that follow it.
std::optional<Image> decodeColours(std::string_view entry, const Header& h) {
    std::string file = "BM";
    put32(file, static_cast<std::uint32_t>(14 + entry.size()));
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(14 + h.pixelsAt));
    file.append(entry);
    for (int i = 0; i < 4; ++i) file[14 + 8 + i] = static_cast<char>(h.height >> (8 * i) & 0xFF);
    return decodeBmp(file);
}

std::optional<IconImage> decodeEntry(std::string_view entry, const Header& h) {
    const LittleEndian in{entry};
    std::optional<Image> image = decodeColours(entry, h);
    if (!image) return std::nullopt;
    const std::uint64_t colourStride = (static_cast<std::uint64_t>(h.width) * h.bits + 31) / 32 * 4;
    const std::uint64_t maskStride = (static_cast<std::uint64_t>(h.width) + 31) / 32 * 4;
    const std::uint64_t maskAt = h.pixelsAt + colourStride * h.height;
    if (!in.has(maskAt, maskStride * h.height)) return std::nullopt;

    IconImage icon;
    icon.mask.resize(static_cast<std::size_t>(h.width) * h.height);
    bool alphaUsed = false;
    if (h.bits == 32) {
        for (std::uint64_t i = 0; i < icon.mask.size() && !alphaUsed; ++i) alphaUsed = in.u8(h.pixelsAt + i * 4 + 3) != 0;
    }
    for (int row = 0; row < h.height; ++row) {
        const int y = h.height - 1 - row;  // rows are stored bottom-up
        for (int x = 0; x < h.width; ++x) {
            bool clear;
            if (alphaUsed) {
                clear = in.u8(h.pixelsAt + (static_cast<std::uint64_t>(row) * h.width + x) * 4 + 3) < 128;
            } else {
                const std::uint8_t bits = in.u8(maskAt + row * maskStride + x / 8);
                clear = (bits >> (7 - x % 8) & 1) != 0;
            }
            icon.mask[static_cast<std::size_t>(y) * h.width + x] = clear ? 1 : 0;
        }
    }
    icon.image = std::move(*image);
    return icon;
}

}  // namespace

std::optional<IconDirectory> readIconDirectory(std::string_view bytes) {
    const LittleEndian in{bytes};
    const std::optional<Directory> head = readHead(in);
    if (!head) return std::nullopt;
    IconDirectory dir;
    dir.cursor = head->cursor;
    for (std::size_t i = 0; i < head->count; ++i) {
        const std::size_t at = kDirectorySize + kEntrySize * i;
        const std::string_view data = entryBytes(in, i);
        IconEntry entry;
        entry.index = i;
        if (head->cursor) {
            entry.hotX = in.u16(at + 4);
            entry.hotY = in.u16(at + 6);
        }
        if (isPng(data)) {
            entry.png = true;
            entry.width = in.u8(at) == 0 ? 256 : in.u8(at);
            entry.height = in.u8(at + 1) == 0 ? 256 : in.u8(at + 1);
        } else if (const std::optional<Header> h = readHeader(LittleEndian{data})) {
            entry.width = h->width;
            entry.height = h->height;
            entry.bits = static_cast<int>(h->bits);
        } else {
            continue;
        }
        dir.entries.push_back(entry);
    }
    return dir;
}

std::optional<IconImage> decodeIconEntry(std::string_view bytes, std::size_t index) {
    const LittleEndian in{bytes};
    const std::optional<Directory> head = readHead(in);
    if (!head || index >= head->count) return std::nullopt;
    const std::string_view data = entryBytes(in, index);
    if (isPng(data)) return std::nullopt;
    const std::optional<Header> h = readHeader(LittleEndian{data});
    if (!h) return std::nullopt;
    std::optional<IconImage> icon = decodeEntry(data, *h);
    if (icon && head->cursor) {
        const std::size_t at = kDirectorySize + kEntrySize * index;
        // A hot spot outside the picture is moved to its nearest edge.
        icon->hotX = std::min<int>(in.u16(at + 4), h->width - 1);
        icon->hotY = std::min<int>(in.u16(at + 6), h->height - 1);
    }
    return icon;
}

std::optional<IconImage> decodeIcon(std::string_view bytes, int size, int maxBits) {
    const std::optional<IconDirectory> dir = readIconDirectory(bytes);
    if (!dir) return std::nullopt;
    auto rank = [&](const IconEntry& e) {
        const int depth = e.bits <= maxBits ? maxBits - e.bits : 1000 + e.bits - maxBits;
        return std::make_tuple(std::abs(e.width - size), e.width < size, depth);
    };
    std::vector<IconEntry> candidates;
    for (const IconEntry& e : dir->entries)
        if (!e.png) candidates.push_back(e);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const IconEntry& a, const IconEntry& b) { return rank(a) < rank(b); });
    for (const IconEntry& e : candidates) {
        if (std::optional<IconImage> icon = decodeIconEntry(bytes, e.index)) return icon;
    }
    return std::nullopt;
}

}  // namespace sysaccess::paint
