#pragma once
// Key names in the text of a Wine registry file.
//
// Wine reads a section header line as UTF-8 (bytes that form no valid
// sequence are dropped) into UTF-16 code units, then undoes its escapes.
// It writes names back in ASCII only: code units above 127 as \x hex escapes,
// control characters as C or octal escapes, and '\', '[' and ']' behind a
// backslash.
//
// Here a decoded name is held as the UTF-8 form of its code units (a
// surrogate pair joined into one character, a lone surrogate encoded as
// itself), so every name the reader gives back is written by
// escapeKeyName() as the same code units.
#include <optional>
#include <string>
#include <string_view>

namespace sysaccess::registry {

// The escaped path text after '[' up to the first unescaped ']', decoded;
// nothing when the line has no closing bracket.
std::optional<std::string> decodeKeyHeader(std::string_view afterBracket);

// Appends one decoded name as Wine writes it between the brackets.
void escapeKeyName(std::string& out, std::string_view name);

}  // namespace sysaccess::registry
