// A real Wine server for a temporary prefix: while it runs the registry sees
// it and refuses to write, and once it has ended deletions go through. The
// server is found as this host's Wine lays it out, with default options.
#include "RegistryTestUtil.h"
#include "fixtures/SystemReg.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using namespace regtest;
namespace fs = std::filesystem;

namespace {

fs::path wineServerProgram() {
    for (const char* p : {"/usr/lib/wine/wineserver", "/usr/bin/wineserver", "/usr/local/bin/wineserver"})
        if (::access(p, X_OK) == 0) return p;
    return {};
}

// Runs `wineserver <arg>` for the prefix and waits for it (a persistent
// server goes to the background once it is ready).
int runWineServer(const fs::path& program, const fs::path& prefix, const char* arg) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::setenv("WINEPREFIX", prefix.c_str(), 1);
        ::execl(program.c_str(), program.c_str(), arg, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A persistent server for one prefix, ended by that prefix (wineserver -k)
// however the test leaves.
class WineServer {
public:
    WineServer(fs::path program, fs::path prefix) : program_(std::move(program)), prefix_(std::move(prefix)) {
        started_ = runWineServer(program_, prefix_, "-p") == 0;
    }
    ~WineServer() { stop(); }
    bool started() const { return started_; }
    void stop() {
        if (!started_) return;
        started_ = false;
        runWineServer(program_, prefix_, "-k");
        runWineServer(program_, prefix_, "-w");  // returns once no server is left
        // Wine leaves the server folder behind; it names this prefix only.
        std::string name;
        try {
            name = fixtures::readHostFile(prefix_ / "wineserver");
        } catch (const std::exception&) {
            return;  // the classic layout: nothing in the prefix
        }
        const std::string server = sysaccess::registry::wineServerFolderName(prefix_);
        if (name.empty() || name.find('/') != std::string::npos || server.empty()) return;
        const char* tmp = std::getenv("TMPDIR");
        const fs::path folder = fs::path(tmp && *tmp ? tmp : "/tmp") / name;
        std::error_code ec;
        fs::remove_all(folder / server, ec);
        fs::remove(folder, ec);  // only when nothing else is in it
    }

private:
    fs::path program_, prefix_;
    bool started_ = false;
};

template <class Pred>
bool within(std::chrono::seconds limit, Pred pred) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace

TEST(RealWineServer, IsSeenWhileItRunsAndKeepsTheFileUnchanged) {
    const fs::path program = wineServerProgram();
    if (program.empty()) GTEST_SKIP() << "wineserver is not installed";
    fixtures::TempDir dir;
    const fs::path prefix = dir / "prefix";
    const fs::path reg = prefix / "system.reg";
    fixtures::writeSystemReg(reg, {"Enum\\USB\\VID_0E4B&PID_0204\\5&2C", "Enum\\USB\\VID_046D&PID_C00E\\6&1"});
    const RegFileStore store(reg, "/tmp/.wine-" + std::to_string(::getuid()),
                             {std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp", "/tmp"});
    ASSERT_FALSE(store.wineServerRunning());
    {
        WineServer server(program, prefix);
        ASSERT_TRUE(server.started());
        EXPECT_TRUE(store.wineServerRunning());

        Registry r(Registry::Options{.systemReg = reg});
        ASSERT_TRUE(r.exists("Enum\\USB\\VID_0E4B&PID_0204"));
        const std::string before = fixtures::readHostFile(reg);
        const HKEY32 usb = openKey(r, "Enum\\USB");
        expectFailure([&] { r.RegDeleteKeyA(usb, "VID_0E4B&PID_0204"); }, err::PermissionDenied,
                      "The machine image is in use by Wine, so no registry key was removed.");
        EXPECT_EQ(fixtures::readHostFile(reg), before);
        EXPECT_TRUE(r.exists("Enum\\USB\\VID_0E4B&PID_0204"));

        server.stop();
        EXPECT_TRUE(within(std::chrono::seconds(10), [&] { return !store.wineServerRunning(); }));
        // The server wrote its copy back as it ended; the deletion now works on that.
        EXPECT_EQ(r.RegDeleteKeyA(usb, "VID_0E4B&PID_0204"), status::Success);
    }
    Registry after(Registry::Options{.systemReg = reg});
    // The server added its performance key below "Windows NT"; the image is
    // still of the 9x family, whose keys with subkeys can be deleted.
    EXPECT_TRUE(after.exists("Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib"));
    EXPECT_EQ(after.family(), Family::Win9x);
    EXPECT_EQ(after.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_046D&PID_C00E"), status::Success);
    EXPECT_FALSE(after.exists("Enum\\USB\\VID_0E4B&PID_0204"));
}
