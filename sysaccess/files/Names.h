#pragma once
// File names as the Windows file system compares them: ASCII letters match
// regardless of case, other bytes match only themselves.
#include <string_view>

namespace sysaccess::files {

bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Order of names compared in upper case; names equal that way fall back to
// byte order, so the order is total and a search result is deterministic.
bool lessIgnoreCase(std::string_view a, std::string_view b);

bool hasWildcard(std::string_view name);
// DOS wildcard match: '*' any run of characters, '?' exactly one character.
// A trailing ".*" also matches a name without extension ("*.*" matches every
// name, "oem1.*" matches "oem1"); a trailing "." asks for a name without one.
bool matchesPattern(std::string_view name, std::string_view pattern);

}  // namespace sysaccess::files
