#pragma once
// A decoded picture: 24-bit colour pixels, row by row from the top.
#include <cstdint>
#include <vector>

namespace sysaccess::paint {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // width * height, top row first

    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace sysaccess::paint
