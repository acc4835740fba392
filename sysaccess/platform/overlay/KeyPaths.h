#pragma once
// Key paths as the platform decorators spell them: the components a program
// gave, without empty ones, joined by single backslashes.
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

}  // namespace sysaccess::overlay
