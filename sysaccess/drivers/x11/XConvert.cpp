#include "sysaccess/drivers/x11/XConvert.h"

#include "sysaccess/drivers/x11/Pixels.h"

namespace sysaccess::drivers::x11 {

std::string utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Icons and cursors are pictures with a transparency mask (and a hot spot).
std::vector<unsigned long> iconData(const ui::IconPicture& p) {
    return p ? netWmIcon(p->image, &p->mask) : std::vector<unsigned long>{};
}

CursorPicture cursorPicture(const ui::IconPicture& p) {
    return p ? CursorPicture{p->image, p->mask, p->hotX, p->hotY} : CursorPicture{};
}

}  // namespace sysaccess::drivers::x11
