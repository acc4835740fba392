#pragma once
// Breaking a text into the lines a box shows, as the desktop's word-wrapping
// text output does: lines end at line breaks (CR LF, LF or CR) and, where a
// line would be wider than the box, before the last word that does not fit.
// Spaces at a wrap point vanish; leading spaces of a paragraph stay. A word
// wider than the box stands alone on its line (and is cut by the box).
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/paint/FontEngine.h"

namespace sysaccess::paint {

std::vector<std::u32string> wrapText(FontEngine& fonts, const ui::Font& font, std::u32string_view text,
                                     int width);

// The same lines with where each starts in `text`.
struct WrappedLine {
    std::u32string text;
    std::size_t start = 0;
};
std::vector<WrappedLine> wrapLines(FontEngine& fonts, const ui::Font& font, std::u32string_view text, int width);

// A single line that fits `width`: the text itself, or as much of it as fits
// before "..." (only as much of "..." as fits when nothing else does).
std::u32string fitWithEllipsis(FontEngine& fonts, const ui::Font& font, std::u32string_view text, int width);

// Removes the desktop's mnemonic markers: "&x" shows x (underlined, its
// index goes to `underline`, -1 when none), "&&" shows one ampersand.
std::u32string stripMnemonic(std::u32string_view text, int* underline = nullptr);

}  // namespace sysaccess::paint
