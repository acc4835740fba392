#include "sysaccess/paint/TextFit.h"

#include <algorithm>

#include "sysaccess/paint/Density.h"

namespace sysaccess::paint {

namespace {

// Whole lines of a font that show in a height.
int wholeLines(FontEngine& fonts, const ui::Font& font, int height) {
    return height / std::max(fonts.metrics(font).height(), 1);
}

}  // namespace

FittedText fitText(FontEngine& fonts, const ui::Font& font, std::u32string_view text, TextRoom at96, TextRoom here,
                   int dpi, bool wrap) {
    FittedText out;
    ui::Font standard = font;
    standard.dpi = StandardDpi;
    standard.pixels = 0;
    if (wrap) {
        out.lines = wrapLines(fonts, standard, text, at96.width);
    } else {
        out.lines.push_back(WrappedLine{std::u32string(text), 0});
    }
    out.font = standard;
    if (dpi == StandardDpi || text.empty()) return out;

    // What must hold here as it holds at 96 dpi: the lines that fit the
    // width, and the number of whole lines that show.
    std::vector<const std::u32string*> fitting;
    for (const auto& line : out.lines)
        if (fonts.measure(standard, line.text) <= at96.width) fitting.push_back(&line.text);
    const int shown = std::min(static_cast<int>(out.lines.size()), wholeLines(fonts, standard, at96.height));

    ui::Font f = font;
    f.dpi = dpi;
    f.pixels = 0;
    out.font = f;
    // At the pixel size of 96 dpi the lines measure as they did there, so at
    // a higher density a size is found at the latest there; where none fits
    // (a box that shrank) the text keeps its point size.
    for (int size = pixelSize(f); size >= 1; --size) {
        f.pixels = size;
        const bool fits = wholeLines(fonts, f, here.height) >= shown &&
                          std::all_of(fitting.begin(), fitting.end(), [&](const std::u32string* line) {
                              return fonts.measure(f, *line) <= here.width;
                          });
        if (fits) {
            out.font = f;
            break;
        }
    }
    return out;
}

}  // namespace sysaccess::paint
