// Windows names are bytes in the machine's code page, host names are UTF-8:
// the drive map and the file services convert between the two, keep
// double-byte characters whole, and never reach a host name the code page
// cannot spell.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures/Errors.h"
#include "fixtures/PrefixBuilder.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/FileSystem.h"
#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

using sysaccess::RuntimeError;
using sysaccess::files::DriveMap;
using sysaccess::files::FileSystem;
namespace err = sysaccess::err;
namespace fs = std::filesystem;
namespace text = sysaccess::text;

using fixtures::errorOf;

namespace {

// "é" in Windows-1252, and "許" in Big5, whose second byte is a backslash.
const std::string CafeAnsi = "caf\xE9.VXD";
const std::string XuBig5 = "\xB3\x5C";

struct Machine {
    explicit Machine(unsigned codePage) : codePage(codePage) {}
    unsigned codePage;
    fixtures::Prefix prefix;
    std::string currentDir = "C:\\";
    FileSystem files{DriveMap::fromPrefix(prefix.path(), codePage), [this] { return currentDir; }};
};

}  // namespace

TEST(CodePageText, ExactConversionsBothWays) {
    EXPECT_EQ(text::ansiToUtf8(CafeAnsi, 1252), "café.VXD");
    EXPECT_EQ(text::utf8ToAnsi("café.VXD", 1252), CafeAnsi);
    EXPECT_EQ(text::ansiToUtf8(XuBig5, 950), "許");
    EXPECT_EQ(text::utf8ToAnsi("許", 950), XuBig5);
    // No look-alikes: a character the page lacks, a byte that is no
    // character, a lone first byte, and bytes that are no UTF-8 all fail.
    EXPECT_EQ(text::utf8ToAnsi("日本.VXD", 1252), std::nullopt);
    EXPECT_EQ(text::utf8ToAnsi("café", 950), std::nullopt);
    EXPECT_EQ(text::utf8ToAnsi("caf\xE9", 1252), std::nullopt);
    EXPECT_EQ(text::ansiToUtf8("\x81", 1252), std::nullopt);
    EXPECT_EQ(text::ansiToUtf8("a\xB3", 950), std::nullopt);
}

TEST(CodePageText, SeparatorsAreWholeCharacters) {
    const std::string path = "C:\\d\\" + XuBig5 + ".VXD";
    EXPECT_EQ(text::lastSeparator(path, 950), 4u);
    EXPECT_EQ(text::lastSeparator(path, 1252), 6u);
    EXPECT_EQ(text::firstSeparator(XuBig5 + "\\x", 950), 2u);
}

TEST(CodePageNames, DoubleByteCharactersStayWhole) {
    using namespace sysaccess::files;
    const std::string name = XuBig5 + ".VXD";
    EXPECT_TRUE(matchesPattern(name, "?.VXD", 950));  // one character
    EXPECT_TRUE(matchesPattern(name, XuBig5 + "*", 950));
    EXPECT_TRUE(matchesPattern(name, "*.vxd", 950));
    EXPECT_FALSE(matchesPattern(name, "??.VXD", 950));
    // Second bytes that look like letters are no letters: "\xA4\x61" and
    // "\xA4\x41" are two different characters.
    EXPECT_FALSE(equalsIgnoreCase("\xA4\x61", "\xA4\x41", 950));
    EXPECT_FALSE(matchesPattern("\xA4\x61.SYS", "\xA4\x41.SYS", 950));
    EXPECT_TRUE(matchesPattern("\xA4\x61.sys", "\xA4\x61.SYS", 950));
    // In Johab a second byte may be '?': no wildcard.
    EXPECT_FALSE(hasWildcard("\x88\x3F", 1361));
    EXPECT_TRUE(hasWildcard("\x88?", 1252));
    // Nor is a '.' after a first byte: "\xD1." is one character, so these
    // patterns end in no ".*" or "." and the name holds no extension.
    EXPECT_FALSE(matchesPattern("\xD1", "\xD1.", 936));
    EXPECT_FALSE(matchesPattern("\xD1", "\xD1.*", 936));
    EXPECT_TRUE(matchesPattern("\xD1.", "*.", 936));
    EXPECT_TRUE(matchesPattern("\xD1", "\xD1..", 1252));  // a single-byte page has no such characters
}

TEST(CodePageDriveMap, ComponentsConvertToUtf8AndBack) {
    fixtures::Prefix p;
    p.file("C:\\Café\\café.VXD");
    p.folder("C:\\日本");
    DriveMap map = DriveMap::fromPrefix(p.path(), 1252);

    EXPECT_EQ(map.toHost("C:\\CAF\xE9\\" + CafeAnsi, ""), p.host("C:\\Café\\café.VXD"));
    EXPECT_EQ(map.toHost("C:\\caf\xE9\\new.txt", ""), p.host("C:\\Café\\new.txt"));
    EXPECT_EQ(map.toHost("C:\\d\xE9j\xE0\\x", ""), p.host("C:\\déjà\\x"));  // missing: kept, converted
    EXPECT_EQ(map.toHost("C:\\x\x81", ""), std::nullopt);                    // no text of the page
    EXPECT_EQ(map.toWindows(p.host("C:\\Café")), "C:\\Caf\xE9");
    EXPECT_EQ(map.toWindows(p.host("C:\\日本")), std::nullopt);

    fixtures::Prefix big5;
    big5.file("C:\\許\\a.txt");
    DriveMap map950 = DriveMap::fromPrefix(big5.path(), 950);
    EXPECT_EQ(map950.toHost("C:\\" + XuBig5 + "\\a.txt", ""), big5.host("C:\\許\\a.txt"));
    EXPECT_EQ(map950.toHost("a.txt", "C:\\" + XuBig5), big5.host("C:\\許\\a.txt"));
    EXPECT_EQ(map950.toWindows(big5.host("C:\\許")), "C:\\" + XuBig5);
}

TEST(CodePageFiles, SearchAndDeleteReachTheUtf8NameOnly) {
    Machine m(1252);
    auto utf8 = m.prefix.file("C:\\drv\\café.VXD", "wine's name");
    auto raw = m.prefix.file("C:\\drv\\" + CafeAnsi, "raw bytes");
    m.prefix.file("C:\\drv\\日本.VXD", "no spelling in 1252");

    // Found names come back in the code page.
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\" + CafeAnsi), CafeAnsi);
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\CAF?.vxd"), CafeAnsi);
    EXPECT_EQ(m.files.readFile("C:\\drv\\" + CafeAnsi), "wine's name");
    m.files.deleteFile("C:\\drv\\" + CafeAnsi);
    EXPECT_FALSE(fs::exists(utf8));
    EXPECT_TRUE(fs::exists(raw));

    // Neither the raw-byte name nor the unspellable one is ever found, so no
    // pattern can delete them.
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\*.*"), "");
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\caf*"), "");
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\drv\\" + CafeAnsi); }), err::FileNotFound);
    EXPECT_TRUE(fs::exists(m.prefix.host("C:\\drv\\日本.VXD")));

    // A written file gets Wine's name; a path that is no text of the page is
    // a bad file name.
    m.files.writeFile("C:\\drv\\na\xEFve.txt", "x");
    EXPECT_TRUE(fs::exists(m.prefix.host("C:\\drv\\naïve.txt")));
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\drv\\\x81.txt", "x"); }), err::BadFileName);
}

TEST(CodePageFiles, Big5NamesWithABackslashByte) {
    Machine m(950);
    auto file = m.prefix.file("C:\\drv\\許.VXD", "driver");
    m.prefix.file("C:\\drv\\許\\inner.VXD", "in a folder named 許");
    m.prefix.file("C:\\drv\\café.VXD", "no spelling in Big5");
    const std::string name = XuBig5 + ".VXD";

    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\" + name), name);
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\?.vxd"), name);
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\*.VXD"), name);
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\" + XuBig5 + "\\*.VXD"), "inner.VXD");
    m.currentDir = "C:\\drv\\" + XuBig5;
    EXPECT_EQ(m.files.readFile("inner.VXD"), "in a folder named 許");
    m.files.deleteFile("C:\\drv\\" + name);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(m.files.findFirstFile("C:\\drv\\*.*"), "");
}
