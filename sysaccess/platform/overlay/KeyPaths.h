#pragma once
// Key paths as the platform decorators spell them: the components a program
// gave, without empty ones, joined by single backslashes.
#include <cstdint>
#include <string>
#include <vector>

namespace sysaccess::overlay {

inline std::vector<std::string> keyComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c != '\\') {
            part.push_back(c);
        } else if (!part.empty()) {
            parts.push_back(std::move(part));
            part.clear();
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

inline std::string joinKey(const std::string& base, const std::string& part) {
    return base.empty() ? part : base + "\\" + part;
}

// A Windows path in one spelling for every letter case and separator, to
// key the decorators' maps of files by.
inline std::string foldPath(std::string path) {
    for (char& c : path) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == '/') c = '\\';
    }
    return path;
}

// Room for any key name the registry gives, in whatever form it spells it.
inline constexpr std::uint32_t NameRoom = 4096;

}  // namespace sysaccess::overlay
