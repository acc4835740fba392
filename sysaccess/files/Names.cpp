#include "sysaccess/files/Names.h"

#include <algorithm>
#include <vector>

namespace sysaccess::files {
namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameChar(char a, char b) { return upper(a) == upper(b); }

// Greedy match with backtracking to the last '*': linear in practice, never
// exponential, whatever the pattern.
bool glob(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || sameChar(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameChar);
}

bool lessIgnoreCase(std::string_view a, std::string_view b) {
    auto byUpper = [](char x, char y) {
        return static_cast<unsigned char>(upper(x)) < static_cast<unsigned char>(upper(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), byUpper)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), byUpper)) return false;
    return a < b;
}

bool hasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool matchesPattern(std::string_view name, std::string_view pattern) {
    if (name.empty() || pattern.empty()) return false;
    if (glob(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.ends_with(".*"))
        return glob(name, pattern.substr(0, pattern.size() - 2));
    if (pattern.ends_with('.')) {
        std::string_view stem = pattern.substr(0, pattern.find_last_not_of('.') + 1);
        return name.find('.') == std::string_view::npos && !stem.empty() && glob(name, stem);
    }
    return false;
}

bool staysBelowFolder(std::string_view relative) {
    if (relative.empty() || relative.find(':') != std::string_view::npos) return false;
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (separator(relative.front())) return false;
    std::vector<std::string_view> below;  // the components walked down into
    std::size_t begin = 0;
    while (begin <= relative.size()) {
        std::size_t end = begin;
        while (end < relative.size() && !separator(relative[end])) ++end;
        const std::string_view part = relative.substr(begin, end - begin);
        const bool last = end >= relative.size();
        if (part.find_first_not_of(". ") == std::string_view::npos && !part.empty()) {
            if (last) return false;
            if (part == "..") {
                if (below.empty() || static_cast<unsigned char>(below.back().back()) > 0x7F) return false;
                below.pop_back();
            } else if (part != ".") {
                return false;
            }
        } else if (!part.empty() && !last) {
            below.push_back(part);
        }
        begin = end + 1;
    }
    return true;
}

}  // namespace sysaccess::files
