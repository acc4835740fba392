// Code-page conversions on Windows, through the system's own tables.
#include <windows.h>

#include "sysaccess/text/CodePage.h"

namespace sysaccess::text {
namespace {

unsigned known(unsigned codePage) { return ::IsValidCodePage(codePage) ? codePage : 1252; }

// Bytes of the page to UTF-16; nullopt when a byte is no character of it.
std::optional<std::wstring> toWide(std::string_view bytes, unsigned codePage, DWORD flags) {
    if (bytes.empty()) return std::wstring();
    const int inSize = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(codePage, flags, bytes.data(), inSize, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), inSize, wide.data(), n);
    return wide;
}

// UTF-16 to the page; nullopt when a character has no bytes in it.
std::optional<std::string> fromWide(const std::wstring& wide, unsigned codePage) {
    if (wide.empty()) return std::string();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const int inSize = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(codePage, flags, wide.data(), inSize, nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), inSize, out.data(), n, nullptr, used);
    return out;
}

}  // namespace

std::u32string decodeAnsi(std::string_view bytes, unsigned codePage) {
    const std::wstring wide = toWide(bytes, known(codePage), 0).value_or(std::wstring());
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

std::optional<std::string> ansiToUtf8(std::string_view bytes, unsigned codePage) {
    auto wide = toWide(bytes, known(codePage), MB_ERR_INVALID_CHARS);
    return wide ? fromWide(*wide, CP_UTF8) : std::nullopt;
}

std::optional<std::string> utf8ToAnsi(std::string_view utf8, unsigned codePage) {
    const unsigned page = known(codePage);
    auto wide = toWide(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (!wide) return std::nullopt;
    auto ansi = fromWide(*wide, page);
    if (!ansi || ansiToUtf8(*ansi, page) != std::string(utf8)) return std::nullopt;
    return ansi;
}

}  // namespace sysaccess::text
