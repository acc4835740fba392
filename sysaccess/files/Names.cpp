#include "sysaccess/files/Names.h"

#include <algorithm>
#include <vector>

#include "sysaccess/text/CodePage.h"

namespace sysaccess::files {
namespace {

using text::charLength;

unsigned char upper(char c) {
    return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
}

// The characters at name[n] and pattern[p], of the given lengths, are the
// same but for the case of a single-byte letter.
bool sameChar(std::string_view name, std::size_t n, std::size_t nLen, std::string_view pattern, std::size_t p,
              std::size_t pLen) {
    if (nLen != pLen) return false;
    if (nLen == 1) return upper(name[n]) == upper(pattern[p]);
    return name.substr(n, nLen) == pattern.substr(p, pLen);
}

// Greedy match with backtracking to the last '*': linear in practice, never
// exponential, whatever the pattern. Steps go by whole characters.
bool glob(std::string_view name, std::string_view pattern, unsigned cp) {
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        const std::size_t nLen = charLength(name, n, cp);
        const std::size_t pLen = p < pattern.size() ? charLength(pattern, p, cp) : 0;
        if (pLen == 1 && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (pLen != 0 && ((pLen == 1 && pattern[p] == '?') || sameChar(name, n, nLen, pattern, p, pLen))) {
            p += pLen;
            n += nLen;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += charLength(name, starN, cp);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

int compareIgnoreCase(std::string_view a, std::string_view b, unsigned cp) {
    // A byte is compared in upper case unless it is the second byte of a
    // double-byte character (a first byte is never a letter).
    bool trailA = false, trailB = false;
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = trailA ? static_cast<unsigned char>(a[i]) : upper(a[i]);
        const unsigned char y = trailB ? static_cast<unsigned char>(b[i]) : upper(b[i]);
        if (x != y) return x < y ? -1 : 1;
        trailA = !trailA && charLength(a, i, cp) == 2;
        trailB = !trailB && charLength(b, i, cp) == 2;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b, unsigned cp) {
    return a.size() == b.size() && compareIgnoreCase(a, b, cp) == 0;
}

bool lessIgnoreCase(std::string_view a, std::string_view b, unsigned cp) {
    const int c = compareIgnoreCase(a, b, cp);
    return c != 0 ? c < 0 : a < b;
}

bool hasWildcard(std::string_view name, unsigned cp) {
    for (std::size_t i = 0; i < name.size(); i += charLength(name, i, cp)) {
        if (name[i] == '*' || name[i] == '?') return true;
    }
    return false;
}

bool matchesPattern(std::string_view name, std::string_view pattern, unsigned cp) {
    if (name.empty() || pattern.empty()) return false;
    if (glob(name, pattern, cp)) return true;
    // The trailing ".*" or "." is found by whole characters, like everything
    // else: a '.' that is the second byte of a character is no dot.
    auto is = [cp](std::string_view s, std::size_t at, char c) { return charLength(s, at, cp) == 1 && s[at] == c; };
    std::size_t last = std::string_view::npos, beforeLast = std::string_view::npos;
    std::size_t stemEnd = 0;  // end of the pattern without its trailing dots
    for (std::size_t i = 0; i < pattern.size(); i += charLength(pattern, i, cp)) {
        beforeLast = last;
        last = i;
        if (!is(pattern, i, '.')) stemEnd = i + charLength(pattern, i, cp);
    }
    if (beforeLast != std::string_view::npos && is(pattern, beforeLast, '.') && is(pattern, last, '*'))
        return glob(name, pattern.substr(0, beforeLast), cp);
    if (is(pattern, last, '.')) {
        for (std::size_t i = 0; i < name.size(); i += charLength(name, i, cp))
            if (is(name, i, '.')) return false;  // the name has an extension
        return stemEnd > 0 && glob(name, pattern.substr(0, stemEnd), cp);
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
        // Trailing separators name no further component: in "sub\\..\\" the
        // ".." is the last one, and the path names the starting folder.
        const bool last = relative.find_first_not_of("\\/", end) == std::string_view::npos;
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
