#include "sysaccess/paint/TextLayout.h"

namespace sysaccess::paint {
namespace {

bool isSpace(char32_t c) { return c == U' ' || c == U'\t'; }

std::u32string_view trimRight(std::u32string_view s) {
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

void wrapParagraph(FontEngine& fonts, const ui::Font& font, std::u32string_view whole, std::u32string_view para,
                   int width, std::vector<WrappedLine>& out) {
    const auto emit = [&](std::u32string_view line) {
        out.push_back(WrappedLine{std::u32string(line), static_cast<std::size_t>(line.data() - whole.data())});
    };
    bool first = true;
    while (true) {
        if (!first) {
            // Spaces at a wrap point belong to no line.
            std::size_t skip = 0;
            while (skip < para.size() && isSpace(para[skip])) ++skip;
            para.remove_prefix(skip);
            if (para.empty()) return;
        }
        if (fonts.measure(font, trimRight(para)) <= width) {
            emit(trimRight(para));
            return;
        }
        // The longest run of whole words that fits; at least one word.
        std::size_t fit = 0;
        std::size_t i = 0;
        while (i < para.size() && isSpace(para[i])) ++i;  // leading spaces stay with the first word
        while (i < para.size()) {
            while (i < para.size() && !isSpace(para[i])) ++i;
            if (fit != 0 && fonts.measure(font, para.substr(0, i)) > width) break;
            fit = i;
            while (i < para.size() && isSpace(para[i])) ++i;
        }
        emit(trimRight(para.substr(0, fit)));
        para.remove_prefix(fit);
        first = false;
    }
}

}  // namespace

std::vector<WrappedLine> wrapLines(FontEngine& fonts, const ui::Font& font, std::u32string_view text, int width) {
    std::vector<WrappedLine> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = start;
        while (end < text.size() && text[end] != U'\r' && text[end] != U'\n') ++end;
        wrapParagraph(fonts, font, text, text.substr(start, end - start), width, lines);
        if (end >= text.size()) break;
        start = end + (text[end] == U'\r' && end + 1 < text.size() && text[end + 1] == U'\n' ? 2 : 1);
    }
    return lines;
}

std::vector<std::u32string> wrapText(FontEngine& fonts, const ui::Font& font, std::u32string_view text,
                                     int width) {
    std::vector<std::u32string> lines;
    for (auto& line : wrapLines(fonts, font, text, width)) lines.push_back(std::move(line.text));
    return lines;
}

std::u32string fitWithEllipsis(FontEngine& fonts, const ui::Font& font, std::u32string_view text, int width) {
    if (fonts.measure(font, text) <= width) return std::u32string(text);
    const std::u32string dots = U"...";
    std::u32string fitted;
    for (std::size_t n = text.size(); n-- > 0;) {
        fitted = std::u32string(text.substr(0, n)) + dots;
        if (fonts.measure(font, fitted) <= width) return fitted;
    }
    while (!fitted.empty() && fonts.measure(font, fitted) > width) fitted.pop_back();
    return fitted;
}

std::u32string stripMnemonic(std::u32string_view text, int* underline) {
    std::u32string out;
    if (underline) *underline = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != U'&' && underline && *underline < 0) *underline = static_cast<int>(out.size());
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace sysaccess::paint
