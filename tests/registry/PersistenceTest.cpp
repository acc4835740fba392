#include "RegistryTestUtil.h"
#include "Samples.h"
#include "fixtures/BuildKind.h"
#include "fixtures/SystemReg.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using namespace regtest;
using fixtures::readHostFile;
using fixtures::writeHostFile;

namespace {

namespace fs = std::filesystem;

struct Prefix {
    fixtures::TempDir dir;
    fs::path reg = dir / "prefix/system.reg";
    fs::path serverRoot = dir / "wineserver";

    Registry::Options options() const { return {.systemReg = reg, .wineServerRoot = serverRoot}; }

    int temporaries() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(reg.parent_path()))
            n += e.path().filename().string().starts_with(".system.reg.tmp-");
        return n;
    }
};

std::string without(std::string text, const std::string& part) {
    const auto at = text.find(part);
    return at == std::string::npos ? "<missing>" : text.erase(at, part.size());
}

}  // namespace

TEST(RegistryFile, DeletionRemovesOnlyItsSectionsAndKeepsEveryOtherByte) {
    Prefix p;
    writeHostFile(p.reg, samples::kWineSystemReg);
    fs::permissions(p.reg, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto vid = samples::chunkOf(samples::kWineSystemReg, "[Enum\\\\USB\\\\VID_0711&PID_0300\\\\5&2A]");
    {
        Registry r(p.options());
        EXPECT_EQ(r.family(), Family::Win9x);
        EXPECT_TRUE(r.exists("software\\CAF\xc3\xa9\\Men]u[x]"));
        EXPECT_FALSE(r.exists("Broken"));
        EXPECT_EQ(readHostFile(p.reg), samples::kWineSystemReg);  // loading writes nothing

        const HKEY32 usb = openKey(r, "Enum\\USB");
        EXPECT_EQ(nameAt(r, usb, 1), "VID_0711&PID_0300");
        EXPECT_EQ(r.RegDeleteKeyA(usb, "VID_0711&PID_0300"), status::Success);
        EXPECT_EQ(readHostFile(p.reg), without(samples::kWineSystemReg, vid));
        EXPECT_EQ(nameAt(r, usb, 1), "");
    }
    Registry reread(p.options());
    EXPECT_FALSE(reread.exists("Enum\\USB\\VID_0711&PID_0300"));
    EXPECT_TRUE(reread.exists("Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112"));
    EXPECT_EQ(reread.subkeys("System\\ControlSet001\\Services\\Class\\Ports"), (std::vector<std::string>{"0000"}));

    // 9x: a key with everything below it, several sections at once.
    EXPECT_EQ(reread.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\ControlSet001"), status::Success);
    EXPECT_EQ(readHostFile(p.reg).find("ControlSet001"), std::string::npos);
    EXPECT_NE(readHostFile(p.reg).find("\n[Broken\\\\Header 1700000107\n\"Orphan\""), std::string::npos);
    EXPECT_EQ(p.temporaries(), 0);
    EXPECT_EQ(fs::status(p.reg).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(RegistryFile, ParentLeftWithoutSubkeysGetsItsOwnSection) {
    Prefix p;
    fixtures::writeSystemReg(p.reg, {"Enum\\Root\\Beep", "Enum\\USB\\VID_1\\Inst", "Enum\\ZZZ"});
    const std::string before = readHostFile(p.reg);
    const long now = static_cast<long>(std::time(nullptr));
    Registry r(p.options());
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_1"), status::Success);

    const std::string after = readHostFile(p.reg);
    const auto at = after.find("\n[Enum\\\\USB] ");
    ASSERT_NE(at, std::string::npos) << after;
    EXPECT_LT(at, after.find("[Enum\\\\ZZZ]"));  // in the place of the removed section
    long stamp = 0;
    char filetime[32] = {};
    ASSERT_EQ(std::sscanf(after.c_str() + at, "\n[Enum\\\\USB] %ld\n#time=%31[0-9a-f]\n", &stamp, filetime), 2);
    EXPECT_GE(stamp, now);
    EXPECT_EQ(std::stoull(filetime, nullptr, 16) / 10000000ull - 11644473600ull, static_cast<unsigned long long>(stamp));
    EXPECT_EQ(without(after, after.substr(at, after.find('\n', after.find("#time", at)) + 1 - at)),
              without(before, samples::chunkOf(before, "[Enum\\\\USB\\\\VID_1\\\\Inst]")));

    Registry reread(p.options());
    EXPECT_TRUE(reread.exists("Enum\\USB"));
    EXPECT_TRUE(reread.subkeys("Enum\\USB").empty());
    EXPECT_EQ(reread.subkeys("Enum"), (std::vector<std::string>{"Root", "USB", "ZZZ"}));
    // The key now has a section, so deleting it leaves Enum alone.
    EXPECT_EQ(reread.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB"), status::Success);
    EXPECT_EQ(readHostFile(p.reg), without(before, samples::chunkOf(before, "[Enum\\\\USB\\\\VID_1\\\\Inst]")));
}

TEST(RegistryFile, NtFamilyFromTheImageRefusesKeysWithSubkeysOnDisk) {
    Prefix p;
    fixtures::writeSystemReg(p.reg, {"SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1\\Inst"}, true);
    Registry r(p.options());
    EXPECT_EQ(r.family(), Family::NT);
    const std::string before = readHostFile(p.reg);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1"), status::AccessDenied);
    EXPECT_EQ(readHostFile(p.reg), before);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1\\Inst"), status::Success);
    EXPECT_EQ(Registry(p.options()).subkeys("SYSTEM\\CurrentControlSet\\Enum\\USB"),
              (std::vector<std::string>{"VID_1"}));
}

TEST(RegistryFile, ReloadsWhenAnotherWriterChangedTheFile) {
    Prefix p;
    fixtures::writeSystemReg(p.reg, {"Enum\\A", "Enum\\B", "Enum\\C\\Sub"});
    Registry first(p.options());
    Registry second(p.options());
    const HKEY32 stale = openKey(second, "Enum\\A");
    const HKEY32 en = openKey(second, "Enum");

    EXPECT_EQ(first.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"), status::Success);
    // The second store has not seen that yet, deletes on the fresh content...
    EXPECT_EQ(second.RegDeleteKeyA(en, "A"), status::FileNotFound);
    EXPECT_FALSE(second.exists("Enum\\A"));
    EXPECT_EQ(nameAt(second, stale, 0), "");
    char buf[8];
    EXPECT_EQ(second.RegEnumKeyA(stale, 0, buf, sizeof buf), status::InvalidHandle);
    // ...and its handles to surviving keys keep working.
    EXPECT_EQ(nameAt(second, en, 0), "B");
    EXPECT_EQ(second.RegDeleteKeyA(en, "C"), status::Success);

    const std::string text = readHostFile(p.reg);
    EXPECT_EQ(text.find("Enum\\\\A]"), std::string::npos);
    EXPECT_EQ(text.find("Enum\\\\C"), std::string::npos);
    EXPECT_NE(text.find("Enum\\\\B]"), std::string::npos);
    EXPECT_EQ(first.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\C"), status::FileNotFound);
}

TEST(RegistryFile, CrashBeforeRenameLeavesTheOldFileWhole) {
    Prefix p;
    writeHostFile(p.reg, samples::kWineSystemReg);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto options = p.options();
        options.beforeRename = [] { _exit(7); };
        Registry r(options);
        r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum");
        _exit(0);  // not reached when the hook runs
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(readHostFile(p.reg), samples::kWineSystemReg);
    EXPECT_EQ(p.temporaries(), 1);  // the dead writer's leftover

    Registry r(p.options());
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum"), status::Success);
    EXPECT_EQ(p.temporaries(), 0);  // cleaned by the next writer
}

TEST(RegistryFile, FailedWriteKeepsKeyFileAndMemory) {
    Prefix p;
    writeHostFile(p.reg, samples::kWineSystemReg);
    auto options = p.options();
    const fs::path aside = p.dir / "aside.reg";
    // Swap a folder in, so that the rename over the file fails.
    options.beforeRename = [&] {
        fs::rename(p.reg, aside);
        fs::create_directories(p.reg / "busy");
    };
    Registry r(options);
    const HKEY32 usb = openKey(r, "Enum\\USB");
    expectFailure([&] { r.RegDeleteKeyA(usb, "ROOT_HUB"); }, err::PathFileAccess,
                  p.reg.string() + " cannot be written: Is a directory.");
    EXPECT_TRUE(r.exists("Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112"));
    EXPECT_EQ(nameAt(r, usb, 0), "ROOT_HUB");
    EXPECT_EQ(readHostFile(aside), samples::kWineSystemReg);
    EXPECT_EQ(p.temporaries(), 0);

    // A file that is no registry file is never written over.
    Prefix q;
    writeHostFile(q.reg, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum]\n");
    Registry foreign(q.options());
    EXPECT_FALSE(foreign.exists("Enum"));
    expectFailure([&] { foreign.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum"); }, err::PathFileAccess,
                  q.reg.string() + " is not a Wine registry file.");
    EXPECT_EQ(readHostFile(q.reg), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Enum]\n");
    EXPECT_THROW(foreign.createKey("Enum"), std::logic_error);
}

TEST(RegistryFile, FailsToDeleteWhileAWineServerRunsForThePrefix) {
    Prefix p;
    fixtures::writeSystemReg(p.reg, {"Enum\\A", "Enum\\B"});
    const std::string name = wineServerFolderName(p.reg.parent_path());
    ASSERT_FALSE(name.empty());
    const fs::path lockFile = p.serverRoot / name / "lock";
    writeHostFile(lockFile, "");
    Registry r(p.options());

    // A lock file nobody holds: the server is gone.
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\A"), status::Success);

    // The server's lock is held from another process, as Wine holds it.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t server = fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
        const int fd = open(lockFile.c_str(), O_WRONLY);
        struct flock l {};
        l.l_type = F_WRLCK;
        l.l_whence = SEEK_SET;
        l.l_len = 1;
        char c = fcntl(fd, F_SETLK, &l) == 0 ? '1' : '0';
        (void)!write(ready[1], &c, 1);
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, '1');
    const std::string held = readHostFile(p.reg);
    expectFailure([&] { r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\B"); }, err::PermissionDenied,
                  "The machine image is in use by Wine");
    EXPECT_TRUE(r.exists("Enum\\B"));
    EXPECT_EQ(readHostFile(p.reg), held);
    ASSERT_EQ(write(release[1], "x", 1), 1);
    waitpid(server, nullptr, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);

    // An open-file-description lock of this very process counts as well.
    const int fd = open(lockFile.c_str(), O_WRONLY);
    struct flock l {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    l.l_len = 1;
    ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &l), 0);
    expectFailure([&] { r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\B"); }, err::PermissionDenied,
                  "The machine image is in use by Wine");
    close(fd);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\B"), status::Success);
}

TEST(RegistryFile, LargeFileLoadsAndDeletesQuickly) {
    Prefix p;
    std::vector<fixtures::RegKey> keys;
    for (int i = 0; i < 12000; ++i)
        keys.push_back({"Software\\Classes\\CLSID\\{" + std::to_string(100000 + i) + "-AAAA}\\InprocServer32",
                        {{"", "C:\\windows\\system32\\component" + std::to_string(i) + ".dll"},
                         {"ThreadingModel", "Both"},
                         {"Description", std::string(200, 'd')}}});
    writeHostFile(p.reg, fixtures::systemRegTextWithValues(keys));
    ASSERT_GT(fs::file_size(p.reg), 3'000'000u);

    const auto start = std::chrono::steady_clock::now();
    Registry r(p.options());
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID\\{105000-AAAA}"), status::Success);
    const auto took = std::chrono::steady_clock::now() - start;
    if (fixtures::kTimingsHold) {
        EXPECT_LT(took, std::chrono::milliseconds(500));
    }
    EXPECT_EQ(r.subkeys("Software\\Classes\\CLSID").size(), 11999u);
}
