// Code-page decoding on Windows, through the system's own tables.
#include "sysaccess/paint/Text.h"

#include <windows.h>

namespace sysaccess::paint {

std::u32string decodeAnsi(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    if (!::IsValidCodePage(codePage)) codePage = 1252;
    const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    std::u32string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) {
            const char32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace sysaccess::paint
