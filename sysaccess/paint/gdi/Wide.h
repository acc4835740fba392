#pragma once
// Texts for the Windows API's wide-character calls: UTF-32 as UTF-16.
#include <string>
#include <string_view>

namespace sysaccess::paint {

inline std::wstring wide(std::u32string_view text) {
    std::wstring out;
    for (char32_t c : text) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

}  // namespace sysaccess::paint
