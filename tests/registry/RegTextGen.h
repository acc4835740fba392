#pragma once
// Random system.reg texts of the kinds Wine writes and people edit: nested
// keys with and without sections of their own (implied parents), names
// spelled with escapes, raw UTF-8 or bytes Wine drops, every value kind,
// hex data over several lines (also ending on a blank line), comments, and
// one, two or no blank lines between sections.
#include <random>
#include <string>
#include <vector>

namespace regtest {

class RegTextGen {
public:
    explicit RegTextGen(unsigned seed) : rng_(seed) {}

    std::string file() {
        nodes_.clear();
        const int count = pick(1, 9);
        for (int i = 0; i < count; ++i) grow();
        const std::string eol = pick(0, 9) == 0 ? "\r\n" : "\n";
        std::string out = "WINE REGISTRY Version 2" + eol + ";; All keys relative to \\\\Machine" + eol + eol +
                          "#arch=win32" + eol;
        const int sections = pick(1, 14);
        for (int i = 0; i < sections; ++i) {
            const int gap = pick(0, 4) == 0 ? 0 : pick(0, 5) == 0 ? 2 : 1;
            for (int g = 0; g < gap; ++g) out += eol;
            out += section(pick(0, static_cast<int>(nodes_.size()) - 1), eol);
        }
        return out;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    struct Node {
        int parent;  // -1: top level
        int name;    // index into the spellings table
    };

    // Each row: ways of writing one name; all of them read back the same.
    // Names differ from each other even without regard to case.
    static const std::vector<std::vector<std::string>>& spellings() {
        static const std::vector<std::vector<std::string>> table = {
            {"Enum"}, {"USB"}, {"Software"}, {"VID_0711&PID_0300"}, {"{0000-1111}"},
            {"Caf\\xe9", "Caf\\x00e9", "Caf\xc3\xa9", "Caf\\351"},
            {"Men\\]u\\[x\\]", "Men\\x5du\\[x\\x5d"},
            {"\\x4e2d\\x6587", "\xe4\xb8\xad\xe6\x96\x87"},
            {"Emoji\\xd83d\\xde00", "Emoji\xf0\x9f\x98\x80"},
            {"Tab\\tBell\\a", "Tab\\011Bell\\007"},
            {"Octal\\0017", "Octal\\x0001" "7"},
            {"Dropped\xe9x", "Droppedx", "Dropped\xc0\xafx", "Dropped\x80x"},
            {"Lone\\xd800", "Lone\xed\xa0\x80"},
            {"Hex\\x00e9a", "Hex\xc3\xa9" "a"},
            {"Quote\"d", "Quote\\\"d"},
            {"0000"}, {"Sp ace"}, {"ROOT_HUB"},
        };
        return table;
    }

    void grow() {
        const int parent = nodes_.empty() || pick(0, 3) == 0 ? -1 : pick(0, static_cast<int>(nodes_.size()) - 1);
        const int name = pick(0, static_cast<int>(spellings().size()) - 1);
        for (const auto& n : nodes_)
            if (n.parent == parent && n.name == name) return;  // already there
        nodes_.push_back({parent, name});
        // Deeper keys make more implied parents.
        if (pick(0, 2) == 0) {
            const int child = pick(0, static_cast<int>(spellings().size()) - 1);
            nodes_.push_back({static_cast<int>(nodes_.size()) - 1, child});
        }
    }

    std::string spelled(int node) {
        const Node& n = nodes_[static_cast<std::size_t>(node)];
        const auto& ways = spellings()[static_cast<std::size_t>(n.name)];
        std::string name = ways[static_cast<std::size_t>(pick(0, static_cast<int>(ways.size()) - 1))];
        return n.parent < 0 ? name : spelled(n.parent) + "\\\\" + name;
    }

    std::string hexBytes(int n) {
        static const char* digits = "0123456789abcdef";
        std::string out;
        for (int i = 0; i < n; ++i) {
            if (i) out += ',';
            out += digits[pick(0, 15)];
            out += digits[pick(0, 15)];
        }
        return out;
    }

    std::string value(const std::string& eol, bool last) {
        const std::string name = pick(0, 4) == 0 ? "@" : "\"Val" + std::to_string(pick(0, 99)) + "\"";
        switch (pick(0, 6)) {
        case 0: return name + "=\"C:\\\\windows\\\\x.dll\"" + eol;
        case 1: return name + "=str(2):\"%SystemRoot%\\\\a\\\"b\\\\\"" + eol;
        case 2: return name + "=dword:0000" + hexBytes(2) + "00" + eol;
        case 3: return ";; a comment that ends in \\" + eol;
        default: {
            // Hex over several lines, each but the last ending in '\'. The
            // last value of a section may end on a blank line instead.
            std::string out = name + "=" + (pick(0, 1) ? "hex:" : "hex(7):") + hexBytes(pick(1, 6));
            const int more = pick(0, 3);
            for (int i = 0; i < more; ++i) out += ",\\" + eol + "  " + hexBytes(pick(1, 6));
            if (last && pick(0, 1) == 0) out += ",\\" + eol;  // the blank line that follows ends it
            return out + eol;
        }
        }
    }

    std::string section(int node, const std::string& eol) {
        // Now and then a header without its closing bracket: it names no key.
        const std::string close = pick(0, 29) == 0 ? " " : "] ";
        std::string out = "[";
        out += spelled(node);
        out += close + std::to_string(1700000000 + pick(0, 999)) + eol;
        if (pick(0, 1)) out += "#time=1da1747c66d" + hexBytes(1) + eol;
        const int values = pick(0, 4);
        for (int i = 0; i < values; ++i) out += value(eol, i + 1 == values);
        return out;
    }

    std::mt19937 rng_;
    std::vector<Node> nodes_;
};

}  // namespace regtest
