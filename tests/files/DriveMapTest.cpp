#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures/PrefixBuilder.h"
#include "sysaccess/files/DriveMap.h"

using sysaccess::files::DriveMap;
namespace fs = std::filesystem;

TEST(DriveMap, ReadsTheLinksOfThePrefix) {
    fixtures::Prefix p;
    DriveMap map = DriveMap::fromPrefix(p.path());
    EXPECT_TRUE(map.has('C'));
    EXPECT_TRUE(map.has('a'));
    EXPECT_FALSE(map.has('d'));
    EXPECT_EQ(map.toHost("C:\\windows", ""), p.host("C:\\windows"));
    EXPECT_EQ(map.toHost("a:\\Unins.dat", ""), p.host("A:\\Unins.dat"));
    EXPECT_EQ(map.toHost("D:\\x", ""), std::nullopt);
    EXPECT_EQ(map.toHost("\\\\server\\share\\x", "C:\\"), std::nullopt);
    EXPECT_EQ(map.toHost(std::string_view("C:\\a\0b", 6), ""), std::nullopt);

    // Device entries such as "d::" are not drives.
    fs::create_symlink("/dev/null", p.path() / "dosdevices" / "d::");
    EXPECT_FALSE(DriveMap::fromPrefix(p.path()).has('d'));
    EXPECT_TRUE(DriveMap::fromPrefix(fixtures::Prefix(true).path()).has('Z'));
}

TEST(DriveMap, LooksUpComponentsIgnoringCaseExactFirst) {
    fixtures::Prefix p;
    p.file("C:\\Drivers\\Usb\\USBSer.sys");
    p.file("C:\\Drivers\\Usb\\usbser.SYS");
    p.file("C:\\Drivers\\Usb\\other.sys");
    DriveMap map = DriveMap::fromPrefix(p.path());

    // Exact spelling wins when it exists; otherwise the first in name order.
    EXPECT_EQ(map.toHost("c:\\DRIVERS\\usb\\usbser.SYS", ""), p.host("C:\\Drivers\\Usb\\usbser.SYS"));
    EXPECT_EQ(map.toHost("C:\\drivers\\USB\\USBSER.SYS", ""), p.host("C:\\Drivers\\Usb\\USBSer.sys"));
    EXPECT_EQ(map.toHost("C:\\drivers\\usb\\OTHER.SYS", ""), p.host("C:\\Drivers\\Usb\\other.sys"));
    // Missing components are kept as written, after the existing ones.
    EXPECT_EQ(map.toHost("C:\\DRIVERS\\New\\File.TXT", ""), p.host("C:\\Drivers\\New\\File.TXT"));
    // "/" separates, empty and "." components vanish, a trailing "\" names the folder.
    EXPECT_EQ(map.toHost("C:/drivers//./usb/", ""), p.host("C:\\Drivers\\Usb"));
    EXPECT_EQ(map.toHost("C:\\", ""), p.host("C:\\"));
}

TEST(DriveMap, RelativePathsStartAtTheCurrentDirectory) {
    fixtures::Prefix p;
    p.file("A:\\Setup\\Brand.bmp");
    p.file("C:\\Temp\\x.txt");
    DriveMap map = DriveMap::fromPrefix(p.path());

    EXPECT_EQ(map.toHost("brand.BMP", "A:\\setup"), p.host("A:\\Setup\\Brand.bmp"));
    EXPECT_EQ(map.toHost("Setup\\Brand.bmp", "a:\\"), p.host("A:\\Setup\\Brand.bmp"));
    EXPECT_EQ(map.toHost("", "A:\\Setup"), p.host("A:\\Setup"));
    EXPECT_EQ(map.toHost("\\temp\\x.txt", "C:\\windows"), p.host("C:\\Temp\\x.txt"));
    // "C:x" is relative to the current directory only when it is on C:.
    EXPECT_EQ(map.toHost("c:x.txt", "C:\\Temp"), p.host("C:\\Temp\\x.txt"));
    EXPECT_EQ(map.toHost("C:temp", "A:\\Setup"), p.host("C:\\Temp"));
    // Without an absolute current directory a relative path names nothing.
    EXPECT_EQ(map.toHost("x.txt", ""), std::nullopt);
}

TEST(DriveMap, DotDotStaysWithinTheDrive) {
    fixtures::Prefix p;
    p.file("C:\\windows\\inf\\oem1.inf");
    DriveMap map = DriveMap::fromPrefix(p.path());

    EXPECT_EQ(map.toHost("C:\\windows\\system\\..\\inf\\oem1.inf", ""), p.host("C:\\windows\\inf\\oem1.inf"));
    EXPECT_EQ(map.toHost("C:\\..\\..\\..\\windows", ""), p.host("C:\\windows"));
    EXPECT_EQ(map.toHost("..\\..\\..\\..\\dosdevices", "C:\\windows"), p.host("C:\\dosdevices"));
}

TEST(DriveMap, HostPathsBackToWindowsPaths) {
    fixtures::Prefix p(true);
    p.folder("A:\\Setup");
    DriveMap map = DriveMap::fromPrefix(p.path());

    EXPECT_EQ(map.toWindows(p.host("A:\\")), "A:\\");
    EXPECT_EQ(map.toWindows(p.host("A:\\Setup")), "A:\\Setup");
    EXPECT_EQ(map.toWindows(p.host("C:\\windows")), "C:\\windows");
    // Through the link itself: links are resolved before matching.
    EXPECT_EQ(map.toWindows(p.path() / "dosdevices" / "c:" / "windows"), "C:\\windows");
    // Outside C: and A:, only Z: holds the path.
    std::string outside = "Z:" + fs::weakly_canonical(p.path() / "system.reg").string();
    std::replace(outside.begin(), outside.end(), '/', '\\');
    EXPECT_EQ(map.toWindows(p.path() / "system.reg"), outside);
    EXPECT_EQ(map.toWindows("/"), "Z:\\");

    DriveMap bare;  // no drives at all: still seen through Z:
    EXPECT_EQ(bare.toWindows("/usr/bin"), "Z:\\usr\\bin");
    bare.set('q', "/usr");
    EXPECT_EQ(bare.toWindows("/usr/bin"), "Q:\\bin");
    EXPECT_EQ(bare.toWindows("/usrx/bin"), "Z:\\usrx\\bin");
}
