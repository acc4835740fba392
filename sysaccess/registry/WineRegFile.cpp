#include "sysaccess/registry/WineRegFile.h"

#include "sysaccess/registry/RegKeyName.h"

#include <cstdio>

namespace sysaccess::registry {

namespace {

std::vector<std::string> splitDecodedPath(const std::string& decoded) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = decoded.find('\\', start);
        std::string part = decoded.substr(start, cut == std::string::npos ? cut : cut - start);
        if (part.empty()) return {};  // an empty component makes the header malformed
        parts.push_back(std::move(part));
        if (cut == std::string::npos) return parts;
        start = cut + 1;
    }
}

// What Wine skips at the start of a line and around hex numbers.
constexpr std::string_view kBlanks = " \t\v\f\r";

std::size_t skipBlanks(std::string_view s, std::size_t i) {
    while (i < s.size() && kBlanks.find(s[i]) != std::string_view::npos) ++i;
    return i;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Hex bytes as Wine reads them ("01,ff, 2a"). True when they are followed
// by '\': Wine then reads the next line, whatever it holds, as more data.
// A number above ff makes Wine drop the value and go on with the next line.
bool hexContinues(std::string_view data) {
    std::size_t i = 0;
    while (i < data.size() && isHex(data[i])) {
        if (data[i] == '0' && i + 2 < data.size() && (data[i + 1] | 0x20) == 'x' && isHex(data[i + 2])) i += 2;
        unsigned value = 0;
        for (; i < data.size() && isHex(data[i]); ++i) {
            value = value * 16 + static_cast<unsigned>(data[i] <= '9' ? data[i] - '0' : (data[i] | 0x20) - 'a' + 10);
            if (value > 0xFF) return false;
        }
        i = skipBlanks(data, i);
        if (i < data.size() && data[i] == ',') i = skipBlanks(data, i + 1);
    }
    return i < data.size() && data[i] == '\\';
}

// True when a value line ("name"=hex:..., @=hex(7):...) ends its first line
// of hex data with '\'. Only hex data goes on over several lines.
bool valueContinues(std::string_view line) {
    std::size_t i = 1;
    if (line[0] == '"') {
        while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
        if (i >= line.size()) return false;
        ++i;
    }
    i = skipBlanks(line, i);
    if (i >= line.size() || line[i] != '=') return false;
    std::string_view data = line.substr(skipBlanks(line, i + 1));
    if (data.starts_with("hex:")) return hexContinues(data.substr(4));
    if (!data.starts_with("hex(")) return false;
    const std::size_t close = data.find_first_not_of("0123456789abcdefABCDEF", 4);
    if (close == std::string_view::npos || data.compare(close, 2, "):") != 0) return false;
    return hexContinues(data.substr(close + 2));
}

std::string_view lineContent(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

RegFile parseRegFile(std::string_view text) {
    RegFile file;
    const std::string_view firstLine = lineContent(text.substr(0, text.find('\n')));
    if (firstLine != kRegSignature) {
        file.valid = false;
        file.header = std::string(text);
        return file;
    }

    // Offsets where chunks begin, with the decoded path of each.
    std::vector<std::pair<std::size_t, std::vector<std::string>>> starts;
    std::size_t blankRun = std::string_view::npos;  // start of blank lines just seen
    bool inKey = false;        // the last header named a key: its value lines count
    bool continuation = false; // the line before ended hex data with '\'
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        const std::string_view content = lineContent(text.substr(pos, end - pos));
        const std::size_t first = skipBlanks(content, 0);
        const char lead = first < content.size() ? content[first] : '\0';
        const std::size_t here = pos;
        pos = end;

        if (continuation) {
            // More data of the value above, even when blank or shaped like a
            // header: it stays with that section.
            continuation = hexContinues(content.substr(first));
            blankRun = std::string_view::npos;
            continue;
        }
        if (lead == '[' && here > 0) {
            auto decoded = decodeKeyHeader(content.substr(first + 1));
            auto path = decoded ? splitDecodedPath(*decoded) : std::vector<std::string>{};
            inKey = !path.empty();
            starts.emplace_back(blankRun == std::string_view::npos ? here : blankRun, std::move(path));
        }
        if (content.empty()) {
            if (blankRun == std::string_view::npos) blankRun = here;
        } else {
            blankRun = std::string_view::npos;
        }
        continuation = inKey && (lead == '"' || lead == '@') && valueContinues(content.substr(first));
    }

    file.header = std::string(text.substr(0, starts.empty() ? text.size() : starts.front().first));
    file.sections.reserve(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t from = starts[i].first;
        const std::size_t to = i + 1 < starts.size() ? starts[i + 1].first : text.size();
        file.sections.push_back({std::string(text.substr(from, to - from)), std::move(starts[i].second), true});
    }
    return file;
}

std::string RegFile::render() const {
    std::size_t size = header.size();
    for (const auto& s : sections)
        if (s.live) size += s.raw.size();
    std::string out;
    out.reserve(size);
    out += header;
    for (const auto& s : sections)
        if (s.live) out += s.raw;
    return out;
}

std::string escapeKeyPath(const std::vector<std::string>& path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i) out += "\\\\";
        escapeKeyName(out, path[i]);
    }
    return out;
}

std::string emptyKeySection(const std::vector<std::string>& path, std::int64_t unixTime) {
    // FILETIME: 100 ns steps since 1601, written as Wine does ("%x%08x").
    const auto ft = static_cast<std::uint64_t>(unixTime) * 10000000ull + 116444736000000000ull;
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%x%08x", static_cast<unsigned>(ft >> 32), static_cast<unsigned>(ft & 0xFFFFFFFFu));
    return "\n[" + escapeKeyPath(path) + "] " + std::to_string(unixTime) + "\n#time=" + stamp + "\n";
}

}  // namespace sysaccess::registry
