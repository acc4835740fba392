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

// True when a relative Windows path ("ADP.SYS", "sub\\ADP*.SYS") names
// something in its starting folder or in a folder below it, taken component
// by component with "." and "..". False for a path that would leave the
// folder, for an absolute path ("\\x", "\\\\server\\x"), for one that names a
// drive or a stream (any ":"), for a last component "." or "..", and for
// components of dots and blanks other than "." and "..", which the systems
// read in different ways. A ".." that would step back over a component ending
// in a byte above 0x7F counts as leaving: that byte may lead a double-byte
// character whose second byte is the backslash that seemed to end it.
bool staysBelowFolder(std::string_view relative);

}  // namespace sysaccess::files
