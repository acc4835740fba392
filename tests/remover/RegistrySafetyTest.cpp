// A registry that cannot be written ends the removal run with the standard
// report naming the cause: no key goes, no restart question follows, and
// system.reg keeps its bytes. Run again once the cause is gone, the remover
// completes the removal.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>

#include "RemoverHarness.h"
#include "fixtures/Faults.h"
#include "sysaccess/registry/Registry.h"

using namespace remover_test;
namespace fs = std::filesystem;
namespace mb = sysaccess::ui::mb;

namespace {

const std::vector<std::string> Keys9x{
    "Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112",
    "Enum\\USB\\VID_046D&PID_C00E\\6&1234&0&1",
    "Enum\\USB\\VID_0E4B&PID_0204\\5&2C3D&0&1",
    "Enum\\QRXPORT\\QRXCOM\\0000",
    "System\\CurrentControlSet\\Services\\Class\\Ports\\0000",
    "System\\CurrentControlSet\\Services\\Class\\QRXSERIAL\\0000",
};
const std::vector<std::string> AdapterKeys{"Enum\\USB\\VID_0E4B&PID_0204", "Enum\\QRXPORT",
                                           "System\\CurrentControlSet\\Services\\Class\\QRXSERIAL"};

void image9x(RemoverRun& run) {
    Script s;
    s.matches = {"VID_0E4B"};
    s.removal = {"[Delete Registry]", "Enum\\USB", "QRXSERIAL", "[Delete System]", "QRXSER.VXD"};
    run.script(s);
    run.registry(Keys9x);
    run.prefix.file("C:\\windows\\system\\QRXSER.VXD", "vxd driver");
}

fs::path regOf(const RemoverRun& run) { return run.prefix.path() / "system.reg"; }

// The bytes of a file, or a note of what else is at that path.
std::string content(const fs::path& p) {
    if (fs::is_directory(p)) return "<folder>";
    return fixtures::readHostFile(p);
}

// Runs the removal and checks it ended with the standard report whose text
// begins with `text` (after the error number), leaving everything as it was.
void expectReport(RemoverRun& run, int number, const std::string& text) {
    const std::string before = content(regOf(run));
    run.start();
    run.uninstall({mb::Yes, mb::Ok});
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
    ASSERT_EQ(run.driver.boxes().size(), 2u);
    const auto& report = run.driver.boxes()[1];
    EXPECT_EQ(report.title, "Busclean");
    EXPECT_EQ(report.style, mb::Critical);
    const std::string head = "Run-time error '" + std::to_string(number) + "':\n\n";
    EXPECT_EQ(report.text.substr(0, head.size() + text.size()), head + text) << report.text;
    const auto ops = run.calls().ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "restart"), 0);
    EXPECT_EQ(content(regOf(run)), before);
    EXPECT_TRUE(run.exists("C:\\windows\\system\\QRXSER.VXD"));  // ended in the registry step
}

// A second remover run on the first run's image, after the cause is gone:
// the restart question comes and the adapter's keys are gone.
void expectSecondRunCompletes(const RemoverRun& first) {
    RemoverRun again;
    fs::remove_all(again.prefix.path());
    fs::copy(first.prefix.path(), again.prefix.path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    again.start();
    again.uninstall({mb::Yes, mb::No});
    ASSERT_EQ(again.driver.boxes().size(), 2u);
    EXPECT_EQ(again.driver.boxes()[1].title, "Restart");
    sysaccess::registry::Registry reg({.systemReg = regOf(again)});
    for (const auto& k : AdapterKeys) EXPECT_FALSE(reg.exists(k)) << k;
    EXPECT_TRUE(reg.exists("Enum\\USB\\VID_046D&PID_C00E\\6&1234&0&1"));
    EXPECT_TRUE(reg.exists("System\\CurrentControlSet\\Services\\Class\\Ports\\0000"));
    EXPECT_FALSE(again.exists("C:\\windows\\system\\QRXSER.VXD"));
}

}  // namespace

TEST(RegistrySafety, RunningWineServerEndsTheRunAndTheNextRunCompletes) {
    RemoverRun run;
    image9x(run);
    fixtures::HeldServerLock server(run.wineServerRoot() /
                                    sysaccess::registry::wineServerFolderName(run.prefix.path()) / "lock");
    expectReport(run, 70,
                 "The machine image is in use by Wine, so no registry key was removed.\r\n"
                 "Close its programs, or run \"wineserver -k\" for it, and try again.");
    server.release();
    expectSecondRunCompletes(run);
}

TEST(RegistrySafety, FileThatIsNoRegistryEndsTheRunAndTheNextRunCompletes) {
    RemoverRun run;
    image9x(run);
    const std::string good = fixtures::readHostFile(regOf(run));
    fixtures::writeHostFile(regOf(run), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\USB]\r\n");
    expectReport(run, 75, regOf(run).string() + " is not a Wine registry file.\r\nNo registry key was removed.");
    fixtures::writeHostFile(regOf(run), good);
    expectSecondRunCompletes(run);
}

TEST(RegistrySafety, UnreadableFileEndsTheRunAndTheNextRunCompletes) {
    RemoverRun run;
    image9x(run);
    const std::string good = fixtures::readHostFile(regOf(run));
    fs::remove(regOf(run));
    fs::create_directory(regOf(run));  // unreadable as a file, for root as for anyone
    expectReport(run, 75, regOf(run).string() + " cannot be read: Is a directory.");
    fs::remove(regOf(run));
    fixtures::writeHostFile(regOf(run), good);
    expectSecondRunCompletes(run);
}

TEST(RegistrySafety, FileThatCannotBeWrittenEndsTheRunAndTheNextRunCompletes) {
    RemoverRun run;
    image9x(run);
    const auto size = fs::file_size(regOf(run));
    {
        // Files of this process may not grow past half the registry's size:
        // the new file cannot be written, as on a full disk (also for root).
        fixtures::FileSizeLimit limit(size / 2);
        expectReport(run, 61, regOf(run).string() + " cannot be written: File too large.\r\n"
                                                     "No registry key was removed. Free some space");
    }
    for (const auto& e : fs::directory_iterator(run.prefix.path()))
        EXPECT_FALSE(e.path().filename().string().starts_with(".system.reg.tmp-")) << e.path();
    expectSecondRunCompletes(run);
}
