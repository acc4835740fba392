// The file search keeps how settled folder paths resolve. Whatever changes on
// the way to a folder afterwards (a folder swapped for a link out of the
// drives, the drive's folder replaced, a file deleted by the search's
// own caller) must show in the very next search.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fixtures/PrefixBuilder.h"
#include "fixtures/TempDir.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/FileSystem.h"

using sysaccess::files::DriveMap;
using sysaccess::files::FileSystem;
namespace fs = std::filesystem;

TEST(FolderCache, ChangesOnTheWayToASettledFolderShowInTheNextSearch) {
    fixtures::Prefix prefix;
    prefix.file("C:\\windows\\inf\\ADP1.INF");
    prefix.file("C:\\windows\\inf\\ADP2.INF");
    prefix.file("C:\\other\\old.txt");
    const fs::path outside = prefix.path().parent_path() / "outside";
    fs::create_directories(outside / "inf");
    fixtures::writeHostFile(outside / "inf" / "ADP9.INF", "x");
    // Folders older than a few seconds are the ones whose resolution is kept.
    std::this_thread::sleep_for(std::chrono::milliseconds(3200));

    FileSystem files{DriveMap::fromPrefix(prefix.path()), [] { return std::string("C:\\"); }};
    // The path is spelled otherwise than the folders, as Windows allows.
    ASSERT_EQ(files.findFirstFile("C:\\windows\\Inf\\ADP*.INF"), "ADP1.INF");
    ASSERT_EQ(files.findFirstFile("C:\\other\\*.txt"), "old.txt");

    // The search's own deletion keeps the folder's resolution and listing current.
    files.deleteFile("C:\\windows\\Inf\\ADP1.INF");
    EXPECT_EQ(files.findFirstFile("C:\\windows\\Inf\\ADP*.INF"), "ADP2.INF");

    // A link spelled exactly as the path now stands beside the inf folder and
    // leads out of the drives: nothing there is found or deleted, although
    // the inf folder itself did not change.
    fs::create_directory_symlink(outside / "inf", prefix.host("C:\\windows\\Inf"));
    EXPECT_EQ(files.findFirstFile("C:\\windows\\Inf\\ADP*.INF"), "");
    EXPECT_THROW(files.deleteFile("C:\\windows\\Inf\\ADP9.INF"), sysaccess::RuntimeError);
    EXPECT_TRUE(fs::exists(outside / "inf" / "ADP9.INF"));
    EXPECT_EQ(files.findFirstFile("C:\\windows\\inf\\ADP*.INF"), "ADP2.INF");

    // The drive's folder is moved away and another takes its name: C:\other
    // is looked up in the new one.
    const fs::path driveC = prefix.path() / "drive_c";
    fs::rename(driveC, prefix.path() / "drive_c-old");
    fs::create_directories(driveC / "other");
    fixtures::writeHostFile(driveC / "other" / "new.txt", "x");
    EXPECT_EQ(files.findFirstFile("C:\\other\\*.txt"), "new.txt");
}
