#pragma once
// Windows device-independent bitmap files (".bmp"), uncompressed.
//
// Read: a "BM" file header followed by a core (12-byte), info (40-byte),
// V2/V3 (52/56), V4 (108) or V5 (124) header; 1, 4 and 8 bits per pixel with
// a palette, 24 bits, and 32 bits (plain, or bit fields with the standard
// masks 00FF0000 / 0000FF00 / 000000FF; alpha is ignored). Rows bottom-up or,
// with a negative height, top-down, each padded to 4 bytes (the padding of
// the last row may be missing). Anything else, and every inconsistent or
// truncated file, is "not a loadable picture": decodeBmp returns nullopt and
// never reads outside `bytes`. In particular:
// - a palette index beyond the file's palette makes the picture unloadable;
// - the palette must end before the pixel data begins;
// - the size fields of the headers (file size, image size) are not trusted;
//   only the bytes actually present count;
// - width and height are limited to 16384 each and to 2^26 pixels in all.
#include <optional>
#include <string>
#include <string_view>

#include "sysaccess/files/InputFile.h"
#include "sysaccess/paint/Image.h"

namespace sysaccess::paint {

inline constexpr int kMaxBmpSide = 16384;
inline constexpr long long kMaxBmpPixels = 1LL << 26;

std::optional<Image> decodeBmp(std::string_view bytes);

// The same picture read from a file: the headers and palette first, then only
// the pixel bytes they declare, so no more than the picture's own bytes are
// ever held. Pixel data the headers place beyond the file's size makes the
// picture unloadable before anything more is read. Answers as decodeBmp
// does for the file's bytes.
std::optional<Image> readBmp(files::InputFile& file);

// A 24-bit bottom-up file with a 40-byte header. Throws std::invalid_argument
// when the image's pixel count does not match its size or the file would not
// fit the format's 32-bit sizes.
std::string encodeBmp24(const Image& image);

}  // namespace sysaccess::paint
