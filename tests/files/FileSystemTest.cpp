#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "fixtures/Errors.h"
#include "fixtures/PrefixBuilder.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/FileSystem.h"

using sysaccess::RuntimeError;
using sysaccess::files::DriveMap;
using sysaccess::files::FileSystem;
namespace err = sysaccess::err;
namespace fs = std::filesystem;
using fixtures::Attr;

using fixtures::errorOf;

namespace {

struct Machine {
    explicit Machine(bool rootDrive = false) : prefix(rootDrive) {}
    fixtures::Prefix prefix;
    std::string currentDir = "A:\\";
    FileSystem files{DriveMap::fromPrefix(prefix.path()), [this] { return currentDir; }};
};

}  // namespace

TEST(FindFirstFile, FirstNormalFileInNameOrderWithStoredSpelling) {
    Machine m;
    auto& p = m.prefix;
    p.file("C:\\windows\\inf\\OEM2.INF");
    p.file("C:\\windows\\inf\\oem10.inf");
    p.file("C:\\windows\\inf\\Oem1.Inf");
    p.file("C:\\windows\\inf\\aaa.pnf");
    const std::string inf = "C:\\WINDOWS\\INF\\";

    EXPECT_EQ(m.files.findFirstFile(inf + "oem*.inf"), "Oem1.Inf");
    EXPECT_EQ(m.files.findFirstFile(inf + "oem2.inf"), "OEM2.INF");
    EXPECT_EQ(m.files.findFirstFile(inf + "*.*"), "aaa.pnf");
    EXPECT_EQ(m.files.findFirstFile(inf + "oem3.inf"), "");
    EXPECT_EQ(m.files.findFirstFile("C:\\windows\\missing\\*.*"), "");
    EXPECT_EQ(m.files.findFirstFile(""), "");

    // Each call starts over: the same search gives the same answer, and the
    // next one after a deletion.
    EXPECT_EQ(m.files.findFirstFile(inf + "oem*.inf"), "Oem1.Inf");
    m.files.deleteFile(inf + "Oem1.Inf");
    EXPECT_EQ(m.files.findFirstFile(inf + "oem*.inf"), "oem10.inf");
}

TEST(FindFirstFile, HiddenSystemAndFoldersNeverMatch) {
    Machine m;
    auto& p = m.prefix;
    p.file("C:\\windows\\system\\a.sys", "", Attr::Hidden);
    p.file("C:\\windows\\system\\b.sys", "", Attr::System);
    p.folder("C:\\windows\\system\\c.sys");
    p.file("C:\\windows\\system\\.d.sys");
    p.file("C:\\windows\\system\\sub\\e.sys");
    EXPECT_EQ(m.files.findFirstFile("C:\\windows\\system\\*.sys"), "");

    // Read-only files are normal files; a later normal file is found.
    p.file("C:\\windows\\system\\f.sys", "", Attr::ReadOnly);
    p.file("C:\\windows\\system\\g.sys", "", Attr::NoWrite);
    EXPECT_EQ(m.files.findFirstFile("C:\\windows\\system\\*.sys"), "f.sys");
    EXPECT_EQ(m.files.findFirstFile("C:\\windows\\system\\G.SYS"), "g.sys");
}

TEST(FindFirstFile, RelativeToTheCurrentDirectoryAndDrives) {
    Machine m;
    m.prefix.file("A:\\brand.BMP");
    m.prefix.file("C:\\Data\\Brand.bmp", "", Attr::Hidden);
    EXPECT_EQ(m.files.findFirstFile("Brand.bmp"), "brand.BMP");
    m.currentDir = "C:\\data";
    EXPECT_EQ(m.files.findFirstFile("Brand.bmp"), "");
    EXPECT_EQ(m.files.findFirstFile("..\\..\\brand.bmp"), "");
    EXPECT_EQ(errorOf([&] { m.files.findFirstFile("D:\\*.*"); }), err::DeviceUnavailable);
}

TEST(DeleteFile, RemovesFilesAndRefusesWhatWindowsRefuses) {
    Machine m;
    auto& p = m.prefix;
    auto hidden = p.file("C:\\windows\\system\\Hidden.sys", "", Attr::Hidden | Attr::System);
    auto ro = p.file("C:\\windows\\system\\ro.sys", "keep", Attr::ReadOnly);
    auto noWrite = p.file("C:\\windows\\system\\nowrite.sys", "keep", Attr::NoWrite);
    auto star = p.file("C:\\windows\\system\\*.sys", "literal");
    auto folder = p.folder("C:\\windows\\system\\drivers");

    // Hidden and system files can be deleted by their name; case does not matter.
    m.files.deleteFile("c:\\WINDOWS\\system\\HIDDEN.SYS");
    EXPECT_FALSE(fs::exists(hidden));

    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\windows\\system\\hidden.sys"); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\windows\\system\\ro.sys"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\windows\\system\\nowrite.sys"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\windows\\system\\drivers"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\windows\\system\\*.sys"); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("D:\\x.sys"); }), err::DeviceUnavailable);
    EXPECT_EQ(errorOf([&] { m.files.deleteFile(std::string("C:\\windows\\system\\ro.sys\0x", 26)); }),
              err::BadFileName);
    EXPECT_EQ(fixtures::readHostFile(ro), "keep");
    EXPECT_EQ(fixtures::readHostFile(noWrite), "keep");
    EXPECT_EQ(fixtures::readHostFile(star), "literal");
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST(DeleteFile, NeverLeavesTheDrives) {
    Machine m;
    auto outside = m.prefix.scratch() / "outside.txt";
    fixtures::writeHostFile(outside, "precious");
    auto reg = m.prefix.path() / "system.reg";
    fixtures::writeHostFile(reg, "WINE REGISTRY Version 2\n");

    // ".." is clamped at the drive root: the prefix's own files stay out of reach.
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\..\\system.reg"); }), err::FileNotFound);

    // A link inside a drive that leads out of every drive is not followed.
    fs::create_directory_symlink(m.prefix.scratch().path(), m.prefix.host("C:\\escape"));
    fs::create_symlink(outside, m.prefix.host("C:\\link.txt"));
    EXPECT_EQ(errorOf([&] { m.files.deleteFile("C:\\escape\\outside.txt"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.readFile("C:\\link.txt"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\link.txt", "x"); }), err::PathFileAccess);
    EXPECT_EQ(m.files.findFirstFile("C:\\escape\\*.txt"), "");
    EXPECT_EQ(fixtures::readHostFile(outside), "precious");
    EXPECT_TRUE(fs::exists(reg));

    // Deleting such a link removes the link, not what it points at.
    m.files.deleteFile("C:\\link.txt");
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(m.prefix.host("C:\\link.txt"))));
    EXPECT_EQ(fixtures::readHostFile(outside), "precious");
}

TEST(ReadWriteFile, BytesInAndOut) {
    Machine m;
    const std::string bytes("line 1\r\n\0\xff\x80 end", 16);
    m.files.writeFile("C:\\lnk.url", bytes);
    EXPECT_EQ(fixtures::readHostFile(m.prefix.host("C:\\lnk.url")), bytes);
    EXPECT_EQ(m.files.readFile("c:\\LNK.URL"), bytes);
    m.files.writeFile("C:\\LNK.url", "short");  // overwrites the stored spelling
    EXPECT_EQ(m.files.readFile("C:\\lnk.url"), "short");
    EXPECT_FALSE(fs::exists(m.prefix.host("C:\\LNK.url")));

    m.prefix.file("A:\\Unins.dat", "\"a\",b\r\n");
    EXPECT_EQ(m.files.readFile("Unins.dat"), "\"a\",b\r\n");
}

TEST(ReadWriteFile, FailuresLeaveFilesAlone) {
    Machine m(true);
    auto ro = m.prefix.file("C:\\ro.txt", "old", Attr::ReadOnly);
    m.prefix.folder("C:\\dir");
    ASSERT_EQ(mkfifo(m.prefix.host("C:\\pipe").c_str(), 0600), 0);

    EXPECT_EQ(errorOf([&] { m.files.readFile("C:\\missing.txt"); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { m.files.readFile("C:\\dir"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.readFile("C:\\pipe"); }), err::PathFileAccess);  // would block
    EXPECT_EQ(errorOf([&] { m.files.readFile("Z:\\dev\\zero"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\dir", "x"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\ro.txt", "new"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\nofolder\\x.txt", "x"); }), err::PathNotFound);
    EXPECT_EQ(fixtures::readHostFile(ro), "old");

    // A dangling link would create its target: refused.
    auto target = m.prefix.host("C:\\made-by-link.txt");
    fs::create_symlink(target, m.prefix.host("C:\\dangling.txt"));
    EXPECT_EQ(errorOf([&] { m.files.writeFile("C:\\dangling.txt", "x"); }), err::PathFileAccess);
    EXPECT_FALSE(fs::exists(target));
}

TEST(ReadWriteFile, OpenedFilesAreReadInPiecesAndFailAsReadsDo) {
    Machine m(true);
    const auto big = m.prefix.file("C:\\big.dat", "head,");
    std::filesystem::resize_file(big, std::uintmax_t{2} << 30);  // sparse: nothing more on disk
    const auto file = m.files.openInput("c:\\BIG.DAT");
    EXPECT_EQ(file->size(), std::uint64_t{2} << 30);
    char piece[8] = {};
    ASSERT_EQ(file->read(piece, 5), 5u);
    EXPECT_EQ(std::string(piece, 5), "head,");
    file->seek((std::uint64_t{2} << 30) - 3);
    EXPECT_EQ(file->read(piece, sizeof piece), 3u);
    EXPECT_EQ(file->read(piece, sizeof piece), 0u);

    m.prefix.folder("C:\\dir");
    ASSERT_EQ(mkfifo(m.prefix.host("C:\\pipe").c_str(), 0600), 0);
    EXPECT_EQ(errorOf([&] { m.files.openInput("C:\\missing.txt"); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { m.files.openInput("C:\\dir"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { m.files.openInput("C:\\pipe"); }), err::PathFileAccess);  // without waiting
    EXPECT_EQ(errorOf([&] { m.files.openInput("Z:\\dev\\zero"); }), err::PathFileAccess);
}
