#pragma once
// Key names and key paths: ASCII case-insensitive, case-preserving names,
// components separated by '\'.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sysaccess::registry {

// Upper-cases ASCII letters only; other bytes stay as they are.
std::string upperAscii(std::string_view s);

// The order of the NT family: names compared in upper case, byte by byte.
bool lessUpper(std::string_view a, std::string_view b);

// Splits a path relative to an open key. "" and "\" name the key itself, one
// trailing '\' is ignored. Returns nothing for a path that names no key: an
// empty component ("a\\b", "\a") or a component with a leading blank.
std::optional<std::vector<std::string_view>> splitKeyPath(std::string_view path);

}  // namespace sysaccess::registry
