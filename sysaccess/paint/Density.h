#pragma once
// The screen's density in dots per inch, and what follows from it: twips
// (1440 an inch) turned into pixels and back, and the sizes of the fixed
// pixel parts of the classic look (frame, title bar, close box, bevels,
// check box, focus rectangles, line widths) at the density.
//
// At 96 dpi a pixel is 15 twips and everything is drawn as the desktop draws
// it at its standard density. At other densities twips follow the density
// exactly (12 twips a pixel at 120 dpi, 10 at 144, 7.5 at 192), and so do the
// fixed sizes, as the desktop's own metrics grow with it: a size of n pixels
// at 96 dpi is n * dpi / 96 pixels to the nearest whole pixel (`scale`), so
// a title bar of 18 pixels is 27 at 144 dpi and 36 at 192. The one-pixel
// lines of the look (bevel rings, frame rings, underlines, focus dots) stay
// whole pixels, `line()` thick: dpi / 96 rounded, halves up (1 at 120, 2 at
// 144 to 239). Every edge lands on a whole pixel, so the look stays crisp; at
// 192 dpi every size is exactly twice its 96-dpi size.

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
    // The density is a whole multiple of the standard one (96, 192, ...).
    constexpr bool whole() const { return dpi_ % StandardDpi == 0; }

    // A fixed pixel size or offset of the standard density at this one:
    // dpi / 96 times as many pixels, to the nearest pixel (halves up), as
    // the desktop scales its metrics: 13 -> 16 at 120, 20 at 144, 26 at 192.
    constexpr int scale(int pixelsAt96) const { return divideRounded(static_cast<long long>(pixelsAt96) * dpi_, StandardDpi); }
    // Pixels of this density in whole pixels of the standard one, rounded
    // down: the room a part of the look has, in the unit it is designed in.
    constexpr int unscale(int pixels) const { return divideDown(static_cast<long long>(pixels) * StandardDpi, dpi_); }
    // The thickness of the look's one-pixel lines.
    constexpr int line() const {
        const int t = (dpi_ + StandardDpi / 2) / StandardDpi;
        return t < 1 ? 1 : t;
    }

    // Twips to pixels, to the nearest pixel (halves up), negative positions
    // included: at 96 dpi -245 -> -16, 310 -> 21, 135 -> 9. Positions and
    // sizes are converted each on its own, so equal sizes stay equal.
    constexpr int pixels(int twips) const { return divideRounded(static_cast<long long>(twips) * dpi_, TwipsPerInch); }
    // Pixels to twips (where a click or a window landed), whole twips.
    constexpr int twips(int pixels) const { return divideDown(static_cast<long long>(pixels) * TwipsPerInch, dpi_); }

    friend constexpr bool operator==(Density, Density) = default;

private:
    static constexpr int divideDown(long long n, long long d) {
        const long long q = n / d;
        return static_cast<int>(n % d < 0 ? q - 1 : q);
    }
    static constexpr int divideRounded(long long n, long long d) { return divideDown(n + d / 2, d); }

    int dpi_ = StandardDpi;
};

}  // namespace sysaccess::paint
