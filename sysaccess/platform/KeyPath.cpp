#include "sysaccess/platform/KeyPath.h"

#include <vector>

#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

namespace sysaccess {

namespace {

// Where the next '\' at or after `from` is; a '\' that is the second byte
// of a double-byte character separates nothing, and '/' is a character of
// key names like any other.
std::size_t separatorAt(std::string_view path, std::size_t from, unsigned codePage) {
    for (std::size_t i = from; i < path.size(); i += text::charLength(path, i, codePage)) {
        if (path[i] == '\\') return i;
    }
    return std::string_view::npos;
}

// The components of a path. Empty components ("A\\B") are kept, so that a
// malformed path never passes for a well-formed one.
std::vector<std::string_view> components(std::string_view path, unsigned codePage) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = separatorAt(path, start, codePage);
        if (cut == std::string_view::npos) {
            parts.push_back(path.substr(start));
            return parts;
        }
        parts.push_back(path.substr(start, cut - start));
        start = cut + 1;
    }
}

// The path without its trailing '\' characters (a last byte '\' that ends a
// double-byte character stays: such a character starts with its lead byte).
std::string_view withoutTrailingSeparators(std::string_view path, unsigned codePage) {
    std::size_t end = 0;  // just past the last character that is no separator
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = text::charLength(path, i, codePage);
        if (path[i] != '\\') end = i + length;
        i += length;
    }
    return path.substr(0, end);
}

}  // namespace

std::string joinKeyPath(std::string_view parent, std::string_view child, unsigned codePage) {
    parent = withoutTrailingSeparators(parent, codePage);
    child = withoutTrailingSeparators(child, codePage);
    if (parent.empty()) return std::string(child);
    if (child.empty()) return std::string(parent);
    std::string path(parent);
    path += '\\';
    path += child;
    return path;
}

std::string deviceInstanceOf(std::string_view keyPath, unsigned codePage) {
    const auto parts = components(withoutTrailingSeparators(keyPath, codePage), codePage);
    constexpr std::string_view Tree[] = {"SYSTEM", "CurrentControlSet", "Enum"};
    constexpr std::size_t InstanceDepth = 6;  // the tree's three, enumerator, device, instance
    if (parts.size() < InstanceDepth) return {};
    for (std::size_t n = 0; n < 3; ++n) {
        if (!files::equalsIgnoreCase(parts[n], Tree[n], codePage)) return {};
    }
    for (const auto part : parts) {
        if (part.empty()) return {};
    }
    return std::string(parts[3]) + '\\' + std::string(parts[4]) + '\\' + std::string(parts[5]);
}

}  // namespace sysaccess
