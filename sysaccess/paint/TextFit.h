#pragma once
// Text laid out as at the standard density and drawn at the screen's.
//
// Boxes are sized in twips and grow with the density exactly; a font's
// width does not: hinting rounds each letter's advance to whole pixels, so a
// text of 14.25 points can come out a few pixels wider at 144 dpi than one
// and a half times its width at 96, and a line that filled its label wraps
// there and loses its last word. So a text is broken into lines at 96 dpi,
// in the box's size there, and those lines are drawn at the density with the
// largest pixel size, up to the one of its point size, at which every line
// that fits its box at 96 dpi fits it here and as many whole lines show.
// Text therefore wraps at the same words at every density and is never cut
// where it is not at 96, and keeps its point size wherever that fits.
#include <string_view>
#include <vector>

#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {

// The room a text has, in pixels.
struct TextRoom {
    int width = 0;
    int height = 0;
};
inline constexpr int NoHeightLimit = 1 << 20;

struct FittedText {
    std::vector<WrappedLine> lines;  // as broken at 96 dpi
    ui::Font font;                   // to draw them with at the density
};

// `text` in `font` (its size in points; any density it carries is
// replaced) laid out in `at96` at 96 dpi and fitted into `here` at `dpi`.
// Without `wrap` the text is one line, as in a title.
FittedText fitText(FontEngine& fonts, const ui::Font& font, std::u32string_view text, TextRoom at96, TextRoom here,
                   int dpi, bool wrap = true);

}  // namespace sysaccess::paint
