#include "sysaccess/registry/WineRegFile.h"

#include <cstdio>
#include <optional>

namespace sysaccess::registry {

namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 code units from escapes become UTF-8; a surrogate pair is joined.
class UnitSink {
public:
    explicit UnitSink(std::string& out) : out_(out) {}
    void unit(std::uint32_t u) {
        if (pendingHigh_) {
            const std::uint32_t high = pendingHigh_;
            pendingHigh_ = 0;
            if (u >= 0xDC00 && u <= 0xDFFF) {
                appendUtf8(out_, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
                return;
            }
            appendUtf8(out_, high);
        }
        if (u >= 0xD800 && u <= 0xDBFF) pendingHigh_ = u;
        else appendUtf8(out_, u);
    }
    void byte(char c) {
        flush();
        out_ += c;
    }
    void flush() {
        if (pendingHigh_) appendUtf8(out_, pendingHigh_);
        pendingHigh_ = 0;
    }

private:
    std::string& out_;
    std::uint32_t pendingHigh_ = 0;  // a high surrogate waiting for its pair; 0: none
};

// Decodes an escaped key path up to the unescaped ']' (Wine's escapes: C
// letters, \xHHHH, octal, anything else stands for itself). Nothing when the
// closing bracket is missing.
std::optional<std::string> decodeBracketed(std::string_view s) {
    std::string out;
    UnitSink sink(out);
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == ']') {
            sink.flush();
            return out;
        }
        if (c != '\\' || i + 1 >= s.size()) {
            sink.byte(c);
            ++i;
            continue;
        }
        const char e = s[i + 1];
        i += 2;
        switch (e) {
        case 'a': sink.unit('\a'); break;
        case 'b': sink.unit('\b'); break;
        case 'e': sink.unit(0x1B); break;
        case 'f': sink.unit('\f'); break;
        case 'n': sink.unit('\n'); break;
        case 'r': sink.unit('\r'); break;
        case 't': sink.unit('\t'); break;
        case 'v': sink.unit('\v'); break;
        case 'x': {
            std::uint32_t v = 0;
            int digits = 0;
            while (digits < 4 && i < s.size() && isHex(s[i])) v = v * 16 + hexValue(s[i++]), ++digits;
            sink.unit(digits ? v : 'x');
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                std::uint32_t v = e - '0';
                for (int d = 1; d < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++d) v = v * 8 + (s[i++] - '0');
                sink.unit(v);
            } else {
                sink.byte(e);
            }
        }
    }
    return std::nullopt;
}

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

// Code points of a UTF-8 name; a byte that starts no valid sequence stands for itself.
std::vector<std::uint32_t> utf16Units(std::string_view s) {
    std::vector<std::uint32_t> units;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = b;
        std::size_t len = 1;
        if (b >= 0xC2 && b <= 0xF4) {
            const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            std::uint32_t v = b & (0x7F >> need);
            bool ok = i + need <= s.size();
            for (std::size_t k = 1; ok && k < need; ++k) {
                const auto cb = static_cast<unsigned char>(s[i + k]);
                ok = (cb & 0xC0) == 0x80;
                v = (v << 6) | (cb & 0x3F);
            }
            if (ok && v <= 0x10FFFF) cp = v, len = need;
        }
        if (cp >= 0x10000) {
            units.push_back(0xD800 + ((cp - 0x10000) >> 10));
            units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            units.push_back(cp);
        }
        i += len;
    }
    return units;
}

// One key name as Wine dumps it inside brackets.
void escapeName(std::string& out, std::string_view name) {
    static constexpr char kLetters[] = ".......abtnvfr.............e....";
    const auto units = utf16Units(name);
    char buf[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t u = units[i];
        const bool nextHex = i + 1 < units.size() && units[i + 1] < 128 && isHex(static_cast<char>(units[i + 1]));
        const bool nextOct = i + 1 < units.size() && units[i + 1] >= '0' && units[i + 1] <= '7';
        if (u > 127) {
            std::snprintf(buf, sizeof buf, nextHex ? "\\x%04x" : "\\x%x", static_cast<unsigned>(u));
            out += buf;
        } else if (u < 32) {
            if (kLetters[u] != '.') std::snprintf(buf, sizeof buf, "\\%c", kLetters[u]);
            else std::snprintf(buf, sizeof buf, nextOct ? "\\%03o" : "\\%o", static_cast<unsigned>(u));
            out += buf;
        } else {
            if (u == '\\' || u == '[' || u == ']') out += '\\';
            out += static_cast<char>(u);
        }
    }
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
    bool continuation = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        const std::string_view content = lineContent(text.substr(pos, end - pos));
        const std::size_t first = content.find_first_not_of(" \t");
        const char lead = first == std::string_view::npos ? '\0' : content[first];

        if (!continuation && lead == '[' && pos > 0) {
            auto decoded = decodeBracketed(content.substr(first + 1));
            const std::size_t chunk = blankRun == std::string_view::npos ? pos : blankRun;
            starts.emplace_back(chunk, decoded ? splitDecodedPath(*decoded) : std::vector<std::string>{});
        }
        if (content.empty()) {
            if (blankRun == std::string_view::npos) blankRun = pos;
        } else {
            blankRun = std::string_view::npos;
        }
        // Only value data continues on the next line; headers and comments never do.
        continuation = !content.empty() && content.back() == '\\' && lead != '[' && lead != ';' && lead != '#';
        pos = end;
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
        escapeName(out, path[i]);
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
