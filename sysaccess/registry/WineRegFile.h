#pragma once
// Wine's text registry file ("WINE REGISTRY Version 2"): split into the
// header and one chunk per key section, each kept as its exact bytes so that
// writing the file back reproduces everything that was not changed.
//
// A chunk starts with the blank line(s) in front of its "[Key\\Path] <time>"
// line and runs to the next such line; meta lines (#time=, #class=, #link),
// value lines and their continuations belong to it. As in Wine, only hex data
// ending in '\' continues, and the next line is then data whatever it holds:
// a blank line or a "[...]" line read that way stays in the chunk above, so
// each chunk ends where no value goes on and can be dropped without changing
// how its neighbours read. Values are otherwise not interpreted: the store
// only needs the key paths.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sysaccess::registry {

inline constexpr std::string_view kRegSignature = "WINE REGISTRY Version 2";

struct RegSection {
    std::string raw;                // exact bytes of the chunk
    std::vector<std::string> path;  // decoded components; empty for a malformed header
    bool live = true;               // false once deleted
};

struct RegFile {
    std::string header;             // everything before the first section
    std::vector<RegSection> sections;
    bool valid = true;              // false when the signature line is missing

    std::string render() const;     // header + live sections
};

RegFile parseRegFile(std::string_view text);

// Section header text of a key path, escaped as Wine writes it
// ("Software\\Name\\x4e2d..."), without the brackets.
std::string escapeKeyPath(const std::vector<std::string>& path);

// A section for a key without values, as Wine writes one:
// "\n[Path] <unix time>\n#time=<FILETIME hex>\n".
std::string emptyKeySection(const std::vector<std::string>& path, std::int64_t unixTime);

}  // namespace sysaccess::registry
