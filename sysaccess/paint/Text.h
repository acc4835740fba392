#pragma once
// Texts of the programs are bytes in the machine's ANSI code page; they are
// decoded only to be shown.
#include <string>
#include <string_view>

namespace sysaccess::paint {

inline constexpr char32_t kReplacementChar = U'\uFFFD';

// Decodes bytes of an ANSI code page (1252, 950 Big5, 936, 932, 949, 874,
// 1250-1258, OEM pages ...). Bytes that are no character of the page become
// U+FFFD, one per undecodable byte or trailing incomplete sequence; an
// unknown code page is read as Windows-1252.
std::u32string decodeAnsi(std::string_view bytes, unsigned codePage);

}  // namespace sysaccess::paint
