#pragma once
// The screen's density in dots per inch, and what follows from it: twips
// (1440 an inch) turned into pixels and back, and the whole factor by which
// the fixed pixel parts of the classic look (frame, bevels, check box square,
// title bar, line widths) and the built-in pictures grow.
//
// At 96 dpi a pixel is 15 twips and the factor is 1: everything is drawn as
// the desktop draws it at its standard density. At 192 dpi a pixel is 7.5
// twips and the factor is 2, so every window is exactly twice as large. In
// between, twips follow the density exactly (12 twips a pixel at 120 dpi, 10
// at 144) and the factor is the nearest whole number, halves down: 1 at 120
// and at 144, 2 from 145 to 240. Halves go down because a picture box sized
// in twips grows by the density itself: at 144 a picture grown by 2 would
// lose a quarter of its width and height to a box grown by 1.5, while at 1
// it is whole, with the box's background beside it. (From 145 dpi up the
// factor of 2 is the nearer one and outgrows boxes by less.)
#include "sysaccess/ui/Types.h"

namespace sysaccess::paint {

inline constexpr int StandardDpi = 96;
inline constexpr int TwipsPerInch = 1440;
inline constexpr int SmallestDpi = 24;
inline constexpr int LargestDpi = 960;

class Density {
public:
    constexpr Density() = default;
    // Densities outside 24..960 dpi are taken as the nearest in range.
    constexpr explicit Density(int dpi) : dpi_(dpi < SmallestDpi ? SmallestDpi : dpi > LargestDpi ? LargestDpi : dpi) {}

    constexpr int dpi() const { return dpi_; }
    // The whole factor of fixed pixel sizes: dpi / 96 to the nearest whole
    // number, halves down, at least 1.
    constexpr int factor() const {
        const int f = (dpi_ + StandardDpi / 2 - 1) / StandardDpi;
        return f < 1 ? 1 : f;
    }
    // A fixed pixel size of the standard density at this one.
    constexpr int scale(int pixelsAt96) const { return pixelsAt96 * factor(); }

    // Twips to pixels, to the nearest pixel (halves up), negative positions
    // included: at 96 dpi -245 -> -16, 310 -> 21, 135 -> 9. Positions and
    // sizes are converted each on its own, so equal sizes stay equal.
    constexpr int pixels(int twips) const {
        const long long n = static_cast<long long>(twips) * dpi_ + TwipsPerInch / 2;
        const long long q = n / TwipsPerInch;
        return static_cast<int>(n % TwipsPerInch < 0 ? q - 1 : q);  // floor
    }
    // Pixels to twips (where a click or a window landed), whole twips.
    constexpr int twips(int pixels) const {
        const long long t = static_cast<long long>(pixels) * TwipsPerInch;
        const long long q = t / dpi_;
        return static_cast<int>(t % dpi_ < 0 ? q - 1 : q);
    }

    friend constexpr bool operator==(Density, Density) = default;

private:
    int dpi_ = StandardDpi;
};

}  // namespace sysaccess::paint
