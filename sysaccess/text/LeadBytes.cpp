#include "sysaccess/text/CodePage.h"

namespace sysaccess::text {

bool isLeadByte(unsigned codePage, unsigned char b) {
    switch (codePage) {
        case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 936:
        case 949:
        case 950: return b >= 0x81 && b <= 0xFE;
        case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
        default: return false;
    }
}

std::size_t charLength(std::string_view bytes, std::size_t at, unsigned codePage) {
    return at + 1 < bytes.size() && isLeadByte(codePage, static_cast<unsigned char>(bytes[at])) ? 2 : 1;
}

std::size_t firstSeparator(std::string_view path, unsigned codePage) {
    for (std::size_t i = 0; i < path.size(); i += charLength(path, i, codePage)) {
        if (path[i] == '\\' || path[i] == '/') return i;
    }
    return std::string_view::npos;
}

std::size_t lastSeparator(std::string_view path, unsigned codePage) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += charLength(path, i, codePage)) {
        if (path[i] == '\\' || path[i] == '/') last = i;
    }
    return last;
}

}  // namespace sysaccess::text
