#include "Samples.h"
#include "sysaccess/registry/WineRegFile.h"

#include <gtest/gtest.h>

using namespace sysaccess::registry;

namespace {
using Path = std::vector<std::string>;
}

TEST(WineRegFile, SplitsRealisticFileAndRendersItByteForByte) {
    const RegFile file = parseRegFile(samples::kWineSystemReg);
    ASSERT_TRUE(file.valid);
    EXPECT_EQ(file.render(), samples::kWineSystemReg);
    EXPECT_EQ(file.header, "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n");

    std::vector<Path> paths;
    for (const auto& s : file.sections) paths.push_back(s.path);
    const std::vector<Path> expected = {
        {"Enum", "Root", "Legacy_Beep", "0000"},
        {"Enum", "USB", "ROOT_HUB", "PCI&VEN_8086&DEV_7112"},
        {"Enum", "USB", "VID_0711&PID_0300", "5&2A"},  // value line "[not a key]" is no section
        {"Software", "Classes", "CLSID", "{0000-1111}"},
        {"Software", "Caf\xc3\xa9", "Men]u[x]"},
        {"System", "CurrentControlSet"},
        {"System", "ControlSet001", "Services", "Class", "Ports"},
        {},  // header without its closing bracket: kept, names no key
        {"System", "ControlSet001", "Services", "Class", "Ports", "0000"},
    };
    EXPECT_EQ(paths, expected);
    // Continued hex lines stay inside their section; a comment stays with the
    // section above it, so the next section starts at its own header line.
    EXPECT_EQ(file.sections[2].raw,
              samples::chunkOf(samples::kWineSystemReg, "[Enum\\\\USB\\\\VID_0711&PID_0300\\\\5&2A]"));
    EXPECT_TRUE(file.sections[4].raw.ends_with("\n;; a comment Wine ignores\n"));
    EXPECT_TRUE(file.sections[5].raw.starts_with("[System\\\\CurrentControlSet] 1700000105\n"));
}

TEST(WineRegFile, DecodesEscapesAndRejectsForeignFiles) {
    auto single = [](const std::string& header) {
        const RegFile f = parseRegFile("WINE REGISTRY Version 2\n\n" + header + " 1\n");
        return f.sections.empty() ? Path{"<none>"} : f.sections[0].path;
    };
    EXPECT_EQ(single("[A\\x4e2d\\x00412]"), (Path{"A\xe4\xb8\xad" "A2"}));
    EXPECT_EQ(single("[Tab\\tOct\\101]"), (Path{"Tab\tOctA"}));
    EXPECT_EQ(single("[Emoji\\xd83d\\xde00]"), (Path{"Emoji\xf0\x9f\x98\x80"}));
    EXPECT_EQ(single("[a\\\\\\\\b]"), Path{});  // empty component
    EXPECT_EQ(single("  [Indented\\\\Key]"), (Path{"Indented", "Key"}));

    // CRLF line ends are kept as they are.
    const std::string crlf = "WINE REGISTRY Version 2\r\n\r\n[A] 1\r\n\"v\"=\"1\"\r\n\r\n[B] 2\r\n";
    const RegFile c = parseRegFile(crlf);
    ASSERT_EQ(c.sections.size(), 2u);
    EXPECT_EQ(c.sections[1].raw, "\r\n[B] 2\r\n");
    EXPECT_EQ(c.render(), crlf);

    EXPECT_FALSE(parseRegFile("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n").valid);
    EXPECT_FALSE(parseRegFile("").valid);
}

TEST(WineRegFile, WritesNamesAndEmptySectionsAsWineDoes) {
    EXPECT_EQ(escapeKeyPath({"Software", "Caf\xc3\xa9", "Men]u[x]"}), "Software\\\\Caf\\xe9\\\\Men\\]u\\[x\\]");
    // A hex digit after an escaped character forces four digits.
    EXPECT_EQ(escapeKeyPath({"\xc3\xa9" "a", "\x01" "7", "\x01" "x"}), "\\x00e9a\\\\\\0017\\\\\\1x");
    EXPECT_EQ(emptyKeySection({"Enum", "USB"}, 1700000000),
              "\n[Enum\\\\USB] 1700000000\n#time=1da1747c66d0000\n");
    // What is written reads back as the same path.
    const Path odd = {"Caf\xc3\xa9", "a]b[", "\t", "\xf0\x9f\x98\x80" "F"};
    const RegFile back = parseRegFile("WINE REGISTRY Version 2\n" + emptyKeySection(odd, 5));
    ASSERT_EQ(back.sections.size(), 1u);
    EXPECT_EQ(back.sections[0].path, odd);
}

TEST(WineRegFile, ReadsHeaderBytesAsWine8DoesAndWritesWhatItWrites) {
    // Header bytes as hand-edited into a prefix, and the header Wine 8
    // wrote back for each after loading that file.
    const std::pair<std::string, std::string> seen[] = {
        {"Raw\xe9x", "Rawx"},                        // a byte that starts no UTF-8 sequence is dropped
        {"RawU\xc3\xa9x", "RawU\\xe9x"},             // UTF-8 is read as such
        {"A\xc3x", "Ax"},
        {"B\xe2\x82x", "Bx"},                        // a cut-off sequence goes entirely
        {"C\xed\xa0\x80x", "C\\xd800x"},             // an encoded surrogate is kept
        {"D\xf0\x9f\x98\x80x", "D\\xd83d\\xde00x"},  // beyond 16 bits: a surrogate pair
        {"E\xc0\xafx", "Ex"},                        // overlong
        {"K\xf0" "a", "Ka"},
        {"M\xf4\x90\x80\x80x", "Mx"},                // beyond U+10FFFF
        {"Q\\\xc3\xa9x", "Q\\xe9x"},                 // an escaped character is read after decoding
        {"R\\\xe9x", "Rx"},
        {"Esc\\x4e2dA\\ta\\0010", "Esc\\x4e2dA\\ta\\0010"},
    };
    for (const auto& [bytes, wine] : seen) {
        const RegFile f = parseRegFile("WINE REGISTRY Version 2\n\n[Software\\\\" + bytes + "] 1\n");
        ASSERT_EQ(f.sections.size(), 1u) << bytes;
        EXPECT_EQ(escapeKeyPath(f.sections[0].path), "Software\\\\" + wine) << bytes;
    }
}

TEST(WineRegFile, OnlyHexDataContinuesAndItsNextLineStaysInTheSection) {
    const std::string text =
        "WINE REGISTRY Version 2\n\n"
        "[A] 1\n\"h\"=hex:01,02,\\\n[NotAKey] 2\n"  // read by Wine as more data
        "[B] 3\n\"s\"=\"abc\\\n"                     // a broken string does not go on
        "[C] 4\n@=hex(7):41,00,\\\n  42,00,\\\n\n"   // the blank line ends the value
        "[D] 5\n;; comment \\\n"
        "[E] 6\n\"n\"=dword:1\\\n"
        "[F] 7\n";
    const RegFile f = parseRegFile(text);
    std::vector<Path> paths;
    for (const auto& s : f.sections) paths.push_back(s.path);
    EXPECT_EQ(paths, (std::vector<Path>{{"A"}, {"B"}, {"C"}, {"D"}, {"E"}, {"F"}}));
    EXPECT_EQ(f.sections[2].raw, "[C] 4\n@=hex(7):41,00,\\\n  42,00,\\\n\n");
    EXPECT_EQ(f.render(), text);
}
