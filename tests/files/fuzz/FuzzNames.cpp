// libFuzzer target for Windows names: the wildcard match, the case-insensitive
// comparison and the check that a relative path stays below its folder, each
// against a plain reference written from the rules in Names.h.
//
// Input: byte 0 chooses the code page, byte 1 the length of the name; the
// name follows and the rest is the pattern (also taken as a second name and
// as a relative path).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

namespace {

using sysaccess::text::isLeadByte;

constexpr unsigned kPages[] = {1252, 932, 936, 949, 950, 1361, 65001};

// A name split into characters: a lead byte of the page takes the byte after it along.
std::vector<std::string> characters(std::string_view s, unsigned cp) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = i + 1 < s.size() && isLeadByte(cp, static_cast<unsigned char>(s[i])) ? 2 : 1;
        out.emplace_back(s.substr(i, n));
        i += n;
    }
    return out;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameCharacter(const std::string& a, const std::string& b) {
    if (a.size() == 1 && b.size() == 1) return upperAscii(a[0]) == upperAscii(b[0]);
    return a == b;
}

bool referenceEquals(std::string_view a, std::string_view b, unsigned cp) {
    const auto x = characters(a, cp), y = characters(b, cp);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!sameCharacter(x[i], y[i])) return false;
    return true;
}

// '*' any run of characters, '?' one character, by a table over the positions:
// at[i][j] is true when name[i..] matches pattern[j..].
bool wildcardMatch(const std::vector<std::string>& name, const std::vector<std::string>& pattern) {
    const std::size_t n = name.size(), p = pattern.size();
    std::vector<std::vector<bool>> at(n + 1, std::vector<bool>(p + 1, false));
    at[n][p] = true;
    for (std::size_t i = n + 1; i-- > 0;) {
        for (std::size_t j = p; j-- > 0;) {
            if (pattern[j] == "*") {
                at[i][j] = at[i][j + 1] || (i < n && at[i + 1][j]);
            } else if (i < n && (pattern[j] == "?" || sameCharacter(name[i], pattern[j]))) {
                at[i][j] = at[i + 1][j + 1];
            }
        }
    }
    return at[0][0];
}

bool referenceMatches(std::string_view nameBytes, std::string_view patternBytes, unsigned cp) {
    if (nameBytes.empty() || patternBytes.empty()) return false;
    const auto name = characters(nameBytes, cp);
    auto pattern = characters(patternBytes, cp);
    if (wildcardMatch(name, pattern)) return true;
    const std::size_t p = pattern.size();
    if (p >= 2 && pattern[p - 2] == "." && pattern[p - 1] == "*") {
        pattern.resize(p - 2);  // "x.*" also matches "x"
        return wildcardMatch(name, pattern);
    }
    if (pattern.back() == ".") {  // "x." matches an "x" without extension
        while (!pattern.empty() && pattern.back() == ".") pattern.pop_back();
        for (const std::string& c : name)
            if (c == ".") return false;
        return !pattern.empty() && wildcardMatch(name, pattern);
    }
    return false;
}

// Walks the path with a stack of the folders entered.
bool referenceStaysBelow(std::string_view path) {
    if (path.empty() || path[0] == '\\' || path[0] == '/') return false;
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == ':') return false;
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    std::vector<std::string> entered;
    std::string lastNamed;  // the last component that is not empty
    for (const std::string& p : parts) {
        if (p.empty()) continue;  // doubled or trailing separators
        lastNamed = p;
        if (p == ".") continue;
        if (p == "..") {
            if (entered.empty() || static_cast<unsigned char>(entered.back().back()) > 0x7F) return false;
            entered.pop_back();
            continue;
        }
        if (p.find_first_not_of(". ") == std::string::npos) return false;
        entered.push_back(p);
    }
    return lastNamed != "." && lastNamed != "..";
}

[[noreturn]] void fail(const char* what, std::string_view a, std::string_view b, unsigned cp) {
    std::fprintf(stderr, "names: %s (\"%.*s\", \"%.*s\", code page %u)\n", what, static_cast<int>(a.size()), a.data(),
                 static_cast<int>(b.size()), b.data(), cp);
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sysaccess::files;
    if (size < 2 || size > 256) return 0;  // longer names add nothing but time in the reference
    const unsigned cp = kPages[data[0] % (sizeof kPages / sizeof kPages[0])];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string_view name = rest.substr(0, data[1] % (rest.size() + 1));
    const std::string_view pattern = rest.substr(name.size());

    if (matchesPattern(name, pattern, cp) != referenceMatches(name, pattern, cp))
        fail("wildcard match differs from the reference", name, pattern, cp);
    if (!hasWildcard(name, cp) && !name.empty() && matchesPattern(name, name, cp) != true)
        fail("a name without wildcards does not match itself", name, name, cp);

    const bool equal = equalsIgnoreCase(name, pattern, cp);
    if (equal != referenceEquals(name, pattern, cp)) fail("case-insensitive equality differs", name, pattern, cp);
    const int order = compareIgnoreCase(name, pattern, cp);
    if ((order == 0) != equal || order != -compareIgnoreCase(pattern, name, cp))
        fail("comparison inconsistent with equality or not antisymmetric", name, pattern, cp);
    if (lessIgnoreCase(name, pattern, cp) == lessIgnoreCase(pattern, name, cp) && name != pattern)
        fail("order is not total", name, pattern, cp);
    // Without wildcards, and without the trailing "." that asks for no extension, a pattern is a name.
    if (!hasWildcard(pattern, cp) && !pattern.ends_with('.') && !name.empty() &&
        matchesPattern(name, pattern, cp) != equal)
        fail("a pattern without wildcards matches other than equal names", name, pattern, cp);

    if (staysBelowFolder(rest) != referenceStaysBelow(rest)) fail("path check differs from the reference", rest, "", cp);
    return 0;
}
