#pragma once
// Texts of the programs, file names included, are bytes in the machine's
// ANSI code page (1252, 950 Big5, 936, 932, 949, 874, 1250-1258, ...). This
// is the one place that knows how such bytes are laid out and what they
// stand for: the renderer decodes them to show them, the prefix's file
// services turn names into the host's UTF-8 names and back.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sysaccess::text {

inline constexpr char32_t kReplacementChar = U'\uFFFD';
inline constexpr unsigned kUtf8CodePage = 65001;

// True when the byte starts a two-byte character in the code page (the
// double-byte pages 932, 936, 949, 950 and 1361). The second byte of such a
// character may be any of 0x40-0xFE, '\' (0x5C) included.
bool isLeadByte(unsigned codePage, unsigned char byte);
// Bytes of the character at `at`: 2 for a lead byte with a byte after it, else 1.
std::size_t charLength(std::string_view bytes, std::size_t at, unsigned codePage);
// Position of the first / last '\' or '/' that is a character of its own,
// not the second byte of a double-byte character; npos when there is none.
std::size_t firstSeparator(std::string_view path, unsigned codePage);
std::size_t lastSeparator(std::string_view path, unsigned codePage);

// Decodes for display. Bytes that are no character of the page become
// U+FFFD, one per undecodable byte or trailing incomplete sequence; an
// unknown code page is read as Windows-1252.
std::u32string decodeAnsi(std::string_view bytes, unsigned codePage);

// Exact conversions between the code page and UTF-8, for names: nullopt when
// a byte is no character of the page, or a character has no bytes in it (no
// look-alike is substituted), or the result would not convert back to
// exactly the same text. An unknown code page is taken as Windows-1252.
std::optional<std::string> ansiToUtf8(std::string_view bytes, unsigned codePage);
std::optional<std::string> utf8ToAnsi(std::string_view utf8, unsigned codePage);

}  // namespace sysaccess::text
