#pragma once
// File names as the Windows file system compares them: ASCII letters match
// regardless of case, other characters match only themselves. Names are
// bytes in a code page; in a double-byte page a character may take two
// bytes, and its second byte is never taken for a letter, a wildcard or a
// separator. The code page defaults to one without double-byte characters
// (also right for UTF-8, whose multi-byte characters hold no ASCII bytes).
#include <string_view>

namespace sysaccess::files {

inline constexpr unsigned kSingleByteCodePage = 1252;

bool equalsIgnoreCase(std::string_view a, std::string_view b, unsigned codePage = kSingleByteCodePage);
// Names compared in upper case: below 0, 0 or above 0. The first key of lessIgnoreCase.
int compareIgnoreCase(std::string_view a, std::string_view b, unsigned codePage = kSingleByteCodePage);
// Order of names compared in upper case; names equal that way fall back to
// byte order, so the order is total and a search result is deterministic.
bool lessIgnoreCase(std::string_view a, std::string_view b, unsigned codePage = kSingleByteCodePage);

bool hasWildcard(std::string_view name, unsigned codePage = kSingleByteCodePage);
// DOS wildcard match: '*' any run of characters, '?' exactly one character.
// A trailing ".*" also matches a name without extension ("*.*" matches every
// name, "oem1.*" matches "oem1"); a trailing "." asks for a name without one.
bool matchesPattern(std::string_view name, std::string_view pattern, unsigned codePage = kSingleByteCodePage);

// True when a relative Windows path ("ADP.SYS", "sub\\ADP*.SYS") names
// something in its starting folder or in a folder below it, taken component
// by component with "." and "..". False for a path that would leave the
// folder, for an absolute path ("\\x", "\\\\server\\x"), for one that names a
// drive or a stream (any ":"), for a last component "." or ".." (trailing
// separators aside: ".\\" and "sub\\..\\" name the folder itself), and for
// components of dots and blanks other than "." and "..", which the systems
// read in different ways. A ".." that would step back over a component ending
// in a byte above 0x7F counts as leaving: that byte may lead a double-byte
// character whose second byte is the backslash that seemed to end it.
bool staysBelowFolder(std::string_view relative);

}  // namespace sysaccess::files
