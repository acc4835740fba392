#pragma once
// Windows icon (".ico") and cursor (".cur") files.
//
// A file is a directory of images; each image is a 40-byte-header bitmap
// (1, 4, 8, 24 or 32 bits per pixel, height doubled) followed by its 1-bit
// AND mask, or a PNG stream. PNG images, and every image whose sizes,
// offsets or palette do not fit the bytes actually present, are "not
// loadable"; nothing is ever read outside the given bytes. Sides are limited
// to 256 pixels, as the format allows.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sysaccess/paint/Image.h"

namespace sysaccess::paint {

inline constexpr int kMaxIconSide = 256;

struct IconImage {
    Image image;
    std::vector<std::uint8_t> mask;  // width * height, top row first; 1 = transparent
    int hotX = 0, hotY = 0;          // cursors only; 0, 0 for icons

    bool transparent(int x, int y) const { return mask[static_cast<std::size_t>(y) * image.width + x] != 0; }
};

// One entry of the directory as its image header describes it.
struct IconEntry {
    std::size_t index = 0;  // position in the file's directory
    int width = 0;
    int height = 0;
    int bits = 0;      // bits per pixel of the image; 0 for PNG entries
    bool png = false;  // PNG-compressed: listed, never loadable
    int hotX = 0, hotY = 0;
};

struct IconDirectory {
    bool cursor = false;
    std::vector<IconEntry> entries;  // in file order; entries without a readable header are left out
};

// The directory; nullopt when the bytes are no icon or cursor file.
std::optional<IconDirectory> readIconDirectory(std::string_view bytes);

// The image of the directory entry at `index` (file order, counting every
// entry), or nullopt when it is not loadable.
std::optional<IconImage> decodeIconEntry(std::string_view bytes, std::size_t index);

// The best loadable image for a `size` x `size` place and a display of
// `maxBits` colour depth: the nearest size (a larger one on a tie), then the
// deepest colour depth not above maxBits (the shallowest above it when none
// is). Nullopt when no image of the file loads.
std::optional<IconImage> decodeIcon(std::string_view bytes, int size, int maxBits = 32);

}  // namespace sysaccess::paint
