#include <gtest/gtest.h>

#include "fixtures/PrefixBuilder.h"
#include "sysaccess/files/Attributes.h"
#include "sysaccess/files/Names.h"

using namespace sysaccess::files;
using fixtures::Attr;

TEST(Names, DosWildcards) {
    struct Case { std::string name, pattern; bool match; };
    const Case cases[] = {
        {"USBSER.SYS", "usbser.sys", true}, {"oem12.inf", "OEM*.INF", true},
        {"oem1.inf", "oem?.inf", true},     {"oem12.inf", "oem?.inf", false},
        {"abcabd", "*ab?", true},           {"xusb.sys", "usb*", false},
        {"usb.sys2", "*.sys", false},       {"", "*", false},
        {"README", "*.*", true},            {"oem1", "oem1.*", true},
        {"oem10", "oem1.*", false},         {"README", "*.", true},
        {"a.txt", "*.", false},             {"\xC4.txt", "\xE4.txt", false},
        {std::string(200, 'a'), std::string(50, '*') + "b", false},
    };
    for (const Case& c : cases) EXPECT_EQ(matchesPattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

// Where a wildcard meets the end of the name or its last dot: '*' may match
// nothing there, '?' always takes one character (it never shrinks to nothing
// before the dot or at the end), and the ".*" and "." endings extend a match
// only as Names.h says.
TEST(Names, WildcardsAtTheEndsOfTheName) {
    struct Case { std::string name, pattern; bool match; };
    const Case cases[] = {
        {"usb", "usb*", true},         {"a", "*", true},            {".profile", "*", true},
        {"a", "**", true},             {"ab", "a**b", true},        {"aab", "*ab", true},
        {"usb", "usb?", false},        {"oem.inf", "oem?.inf", false}, {"a", "a*?", false},
        {"ab", "a*?", true},           {"oem1", "oem1?.*", false},  {"oem1", "oem?.*", true},
        {"a.b.c", "*.*", true},        {".profile", "*.*", true},   {"a.b.c", "*.c", true},
        {"usb", "usb.*", true},        {"oem", "oem1*", false},     {"README", "READ*.", true},
        {".profile", "*.", false},
    };
    for (const Case& c : cases) EXPECT_EQ(matchesPattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(Names, RelativePathsThatStayBelowTheirFolder) {
    for (const char* in : {"ADP.SYS", "*.INF", "sub\\ADP.SYS", "a/b\\c", ".\\x", "sub\\..\\x", "a\\b\\..\\..\\x",
                           "a\\\\b", "sub\\", "\xA4\\x"})
        EXPECT_TRUE(staysBelowFolder(in)) << in;
    for (const char* out : {"", "..\\x", "..", ".", "sub\\..", "..\\..\\..\\somefile", "sub\\..\\..\\x", "a/../../x",
                            "\\x", "/x", "\\\\server\\x", "C:\\x", "a:b", "x:stream", "...\\x", ".. \\x", " \\x",
                            "\xA4\\..\\x", ".\\", "sub\\..\\", "sub\\.\\", "a\\b\\..\\/"})
        EXPECT_FALSE(staysBelowFolder(out)) << out;
}

TEST(Names, OrderIsCaseInsensitiveAndTotal) {
    EXPECT_TRUE(lessIgnoreCase("apple", "Banana"));
    EXPECT_TRUE(lessIgnoreCase("Z", "_"));  // compared in upper case
    EXPECT_TRUE(lessIgnoreCase("ABC", "abc"));  // equal ignoring case: byte order
    EXPECT_FALSE(lessIgnoreCase("abc", "ABC"));
}

TEST(Attributes, FromDosAttribNamesAndPermissions) {
    fixtures::Prefix p;
    auto plain = attributesOf(p.file("C:\\plain.sys"));
    EXPECT_FALSE(plain.hidden || plain.system || plain.readOnly || plain.directory);
    auto all = attributesOf(p.file("C:\\all.sys", "", Attr::Hidden | Attr::System | Attr::ReadOnly));
    EXPECT_TRUE(all.hidden && all.system && all.readOnly);
    EXPECT_TRUE(attributesOf(p.file("C:\\.profile")).hidden);
    EXPECT_TRUE(attributesOf(p.file("C:\\locked.sys", "", Attr::NoWrite)).readOnly);
    EXPECT_TRUE(attributesOf(p.folder("C:\\windows\\inf")).directory);
}

TEST(Attributes, DosAttribFormats) {
    fixtures::Prefix p;
    auto attrsFor = [&](const std::string& raw) {
        p.file("C:\\f.sys");
        p.dosAttrib("C:\\f.sys", raw);
        return attributesOf(p.host("C:\\f.sys"));
    };
    EXPECT_TRUE(attrsFor("0X26").system);
    EXPECT_FALSE(attrsFor("0x26").readOnly);
    // The text, a NUL and a binary record behind it.
    auto withRecord = attrsFor(std::string("0x21\0\x03\x00\x04\x00\xff\xff", 10));
    EXPECT_TRUE(withRecord.readOnly && !withRecord.hidden);
    // Values that are no hex text carry nothing.
    for (const char* bad : {"hidden", "0x", "-0x2", "0x2zz"}) EXPECT_FALSE(attrsFor(bad).hidden) << bad;
}
