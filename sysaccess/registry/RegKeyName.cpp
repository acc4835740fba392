#include "sysaccess/registry/RegKeyName.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace sysaccess::registry {

namespace {

bool isHexUnit(std::uint32_t u) {
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}
std::uint32_t hexValue(std::uint32_t u) {
    if (u >= '0' && u <= '9') return u - '0';
    return (u | 0x20) - 'a' + 10;
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

void appendPair(std::vector<std::uint32_t>& units, std::uint32_t cp) {
    if (cp >= 0x10000) {
        units.push_back(0xD800 + ((cp - 0x10000) >> 10));
        units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        units.push_back(cp);
    }
}

// UTF-16 code units of file text as Wine's reader makes them: a byte that
// starts no valid sequence (overlong, beyond U+10FFFF, a stray continuation
// byte) is dropped on its own; encoded surrogates are taken as they are; a
// sequence cut off by the end of the line drops the rest of the line.
std::vector<std::uint32_t> fileUnits(std::string_view s) {
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    std::vector<std::uint32_t> units;
    units.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            units.push_back(b);
            ++i;
            continue;
        }
        const std::size_t more = (b >= 0xC2 && b <= 0xDF) ? 1 : (b >= 0xE0 && b <= 0xEF) ? 2 : (b >= 0xF0 && b <= 0xF4) ? 3 : 0;
        if (more == 0) {
            ++i;
            continue;
        }
        if (i + more >= s.size()) break;
        std::uint32_t cp = b & (0x7Fu >> (more + 1));
        bool ok = true;
        for (std::size_t k = 1; ok && k <= more; ++k) {
            const unsigned c = static_cast<unsigned char>(s[i + k]) ^ 0x80u;
            ok = c < 0x40;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok || cp < kLeast[more] || cp > 0x10FFFF) {
            ++i;  // the continuation bytes that follow are dropped one by one
            continue;
        }
        appendPair(units, cp);
        i += more + 1;
    }
    return units;
}

// Code units back into a decoded name: a surrogate pair is joined.
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
    void flush() {
        if (pendingHigh_) appendUtf8(out_, pendingHigh_);
        pendingHigh_ = 0;
    }

private:
    std::string& out_;
    std::uint32_t pendingHigh_ = 0;  // a high surrogate waiting for its pair; 0: none
};

// Code units of a decoded name (the inverse of UnitSink).
std::vector<std::uint32_t> nameUnits(std::string_view s) {
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
        appendPair(units, cp);
        i += len;
    }
    return units;
}

}  // namespace

std::optional<std::string> decodeKeyHeader(std::string_view afterBracket) {
    const auto s = fileUnits(afterBracket);
    std::string out;
    UnitSink sink(out);
    for (std::size_t i = 0; i < s.size();) {
        const std::uint32_t c = s[i];
        if (c == ']') {
            sink.flush();
            return out;
        }
        if (c != '\\' || i + 1 >= s.size()) {
            sink.unit(c);
            ++i;
            continue;
        }
        const std::uint32_t e = s[i + 1];
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
            while (digits < 4 && i < s.size() && isHexUnit(s[i])) v = v * 16 + hexValue(s[i++]), ++digits;
            sink.unit(digits ? v : 'x');
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                std::uint32_t v = e - '0';
                for (int d = 1; d < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++d) v = v * 8 + (s[i++] - '0');
                sink.unit(v);
            } else {
                sink.unit(e);  // \\, \[, \] and anything else stand for themselves
            }
        }
    }
    return std::nullopt;
}

void escapeKeyName(std::string& out, std::string_view name) {
    static constexpr char kLetters[] = ".......abtnvfr.............e....";
    const auto units = nameUnits(name);
    char buf[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t u = units[i];
        const bool nextHex = i + 1 < units.size() && isHexUnit(units[i + 1]);
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

}  // namespace sysaccess::registry
