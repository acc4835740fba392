#include "sysaccess/registry/KeyPath.h"

#include <algorithm>

namespace sysaccess::registry {

namespace {
char upperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string upperAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), upperChar);
    return out;
}

bool lessUpper(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(upperChar(a[i]));
        const auto cb = static_cast<unsigned char>(upperChar(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

std::optional<std::vector<std::string_view>> splitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (path.empty()) return parts;
    while (true) {
        const std::size_t cut = path.find('\\');
        const std::string_view part = path.substr(0, cut);
        if (part.empty() || part.front() == ' ') return std::nullopt;
        parts.push_back(part);
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
    }
    return parts;
}

}  // namespace sysaccess::registry
