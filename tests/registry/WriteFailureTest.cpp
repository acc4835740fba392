// Deletions that cannot be written back to system.reg fail with a run-time
// error naming the cause; nothing changes, and once the cause is gone the
// same deletion goes through. Missing keys, keys with subkeys on the NT
// family and the root hub keys stay plain statuses.
#include "RegistryTestUtil.h"
#include "fixtures/Faults.h"
#include "fixtures/SystemReg.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using namespace regtest;
using fixtures::readHostFile;
using fixtures::writeHostFile;
namespace fs = std::filesystem;

namespace {

struct Image {
    fixtures::TempDir dir;
    fs::path prefix = dir / "prefix";
    fs::path reg = prefix / "system.reg";
    Registry::Options options() const {
        return {.systemReg = reg, .usbDevicesDir = dir / "usb", .wineServerRoot = dir / "classic",
                .wineTempDirs = {dir / "tmp"}};
    }
    std::string serverFolderName() const { return wineServerFolderName(prefix); }
};

int temporaries(const fs::path& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += e.path().filename().string().starts_with(".system.reg.tmp-");
    return n;
}

}  // namespace

TEST(WriteFailure, UnreadableFileFailsEveryDeletionUntilItIsPutRight) {
    Image m;
    fs::create_directories(m.reg / "inside");  // a folder where the file should be
    Registry r(m.options());
    // No key of it is known, so even a handle that opened nothing fails for that reason.
    expectFailure([&] { r.RegDeleteKeyA(0, "QRXSERIAL"); }, err::PathFileAccess,
                  m.reg.string() + " cannot be read: Is a directory.");
    expectFailure([&] { r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum"); }, err::PathFileAccess,
                  m.reg.string() + " cannot be read: Is a directory.");
    EXPECT_TRUE(fs::is_directory(m.reg / "inside"));

    // The image's file is back: the same registry object carries on with it.
    fs::remove_all(m.reg);
    fixtures::writeSystemReg(m.reg, {"Enum\\A", "Enum\\B"});
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"), status::Success);
    EXPECT_EQ(r.subkeys("Enum"), std::vector<std::string>{"B"});
    EXPECT_EQ(Registry(m.options()).subkeys("Enum"), std::vector<std::string>{"B"});
}

TEST(WriteFailure, FullDiskKeepsTheFileWholeAndTheNextTryCompletes) {
    Image m;
    fixtures::writeSystemReg(m.reg, {"Enum\\A", "Enum\\B", "Enum\\C"});
    const std::string before = readHostFile(m.reg);
    Registry r(m.options());
    {
        fixtures::FileSizeLimit limit(before.size() / 2);
        try {
            r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A");
            ADD_FAILURE() << "the deletion did not fail";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::DiskFull);
            EXPECT_EQ(std::string(e.what()), m.reg.string() + " cannot be written: File too large.\r\n"
                                                 "No registry key was removed. Free some space on its drive "
                                                 "and try again.");
        }
    }
    EXPECT_EQ(readHostFile(m.reg), before);
    EXPECT_EQ(temporaries(m.prefix), 0);
    EXPECT_TRUE(r.exists("Enum\\A"));
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"), status::Success);
    EXPECT_EQ(Registry(m.options()).subkeys("Enum"), (std::vector<std::string>{"B", "C"}));
}

TEST(WriteFailure, ServerOfTheNewerLayoutIsFoundThroughThePrefixFile) {
    Image m;
    fixtures::writeSystemReg(m.reg, {"Enum\\A", "Enum\\B"});
    writeHostFile(m.prefix / "wineserver", "wine-Ab12Cd");
    Registry r(m.options());
    const std::string before = readHostFile(m.reg);
    {
        fixtures::HeldServerLock server(m.dir / "tmp" / "wine-Ab12Cd" / m.serverFolderName() / "lock");
        expectFailure([&] { r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"); }, err::PermissionDenied,
                      "The machine image is in use by Wine, so no registry key was removed.\r\n"
                      "Close its programs, or run \"wineserver -k\" for it, and try again.");
        EXPECT_EQ(readHostFile(m.reg), before);
        EXPECT_TRUE(r.exists("Enum\\A"));
    }
    // Only a plain name inside the temporary folder is followed.
    for (const char* name : {"../tmp/wine-Ab12Cd", "/tmp/wine-Ab12Cd", ".."}) {
        writeHostFile(m.prefix / "wineserver", name);
        fixtures::HeldServerLock elsewhere(m.dir / "tmp" / "wine-Ab12Cd" / m.serverFolderName() / "lock");
        fixtures::HeldServerLock up(m.dir / m.serverFolderName() / "lock");
        EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\B"), status::Success) << name;
        fixtures::writeSystemReg(m.reg, {"Enum\\A", "Enum\\B"});
    }
    // Server gone (its lock file stays behind, unlocked): deletions go through.
    writeHostFile(m.prefix / "wineserver", "wine-Ab12Cd\n");
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"), status::Success);
}

TEST(WriteFailure, RefusalsThatAreNoWriteFailureStayPlainStatuses) {
    Image m;
    fixtures::writeSystemReg(m.reg, {"SYSTEM\\Enum\\USB\\VID_1\\Inst", "SYSTEM\\Other"}, true);
    writeHostFile(m.dir / "usb" / "usb1" / "busnum", "1\n");
    Registry r(m.options());
    const std::string before = readHostFile(m.reg);
    fixtures::HeldServerLock server(m.dir / "classic" / m.serverFolderName() / "lock");
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\Missing"), status::FileNotFound);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\Enum\\USB\\VID_1"), status::AccessDenied);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\ROOT_HUB\\usb1"), status::AccessDenied);
    expectFailure([&] { r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\Other"); }, err::PermissionDenied,
                  "The machine image is in use by Wine");
    EXPECT_EQ(readHostFile(m.reg), before);

    // A memory-only registry has no file to fail on.
    Registry memory(Registry::Options{});
    memory.createKey("Enum\\A\\B");
    EXPECT_EQ(memory.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A\\B"), status::Success);
}
