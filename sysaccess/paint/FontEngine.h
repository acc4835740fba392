#pragma once
// Text measuring and drawing for the renderer. One implementation per
// platform: fontconfig and FreeType on Linux (paint/freetype), GDI on Windows.
//
// Fonts are the toolkit's ui::Font (a face name, a size in points, bold,
// italic, a character set); engines map the desktop's face names to the
// metric-compatible faces they have and scale points at the density each
// font carries (ui::Font::dpi, 96 unless the renderer says otherwise).
#include <string_view>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::paint {

struct FontMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below it
    int height() const { return ascent + descent; }  // distance between lines
};

// Pixels of a font size in points at a density, as the desktop sizes its
// fonts: at 96 dots per inch 8.25 pt -> 11, 9.75 -> 13, 12 -> 16, 18 -> 24;
// at 192 twice as many.
int pixelSize(double points, int dpi = 96);
// The pixel size of a font at the density it carries (or the size the
// renderer chose for it there); the system's dialog font (no name) is an
// 8-point face whatever size is asked of it.
int pixelSize(const ui::Font& font);

class FontEngine {
public:
    virtual ~FontEngine() = default;
    virtual FontMetrics metrics(const ui::Font& font) = 0;
    // Advance width of a single line of text, in pixels.
    virtual int measure(const ui::Font& font, std::u32string_view text) = 0;
    // Draws a single line with its origin at (x, baseline), clipped to `clip`
    // (image coordinates) and to the image.
    virtual void draw(Image& image, const Rect& clip, int x, int baseline, const ui::Font& font,
                      std::u32string_view text, Rgb colour) = 0;
};

}  // namespace sysaccess::paint
