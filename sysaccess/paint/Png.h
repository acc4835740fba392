#pragma once
// PNG files of rendered pictures, for screenshots: 8-bit RGB, no filtering,
// the image data in stored (uncompressed) deflate blocks, so no compression
// library is needed. Larger than a compressed PNG, but every viewer reads it.
#include <string>

#include "sysaccess/paint/Image.h"

namespace sysaccess::paint {

// Throws std::invalid_argument when the pixel count does not match the size
// or the image is empty.
std::string encodePng(const Image& image);

}  // namespace sysaccess::paint
