// Whole removals on realistic machine images, of both registry families:
// exactly the adapter's files and keys go, everything else stays as it was.
#include <algorithm>
#include <map>
#include <set>

#include "CompleteMachines.h"

using namespace remover_test;
using namespace complete_removal;
namespace fs = std::filesystem;
namespace mb = sysaccess::ui::mb;

namespace {

std::map<std::string, std::string> without(std::map<std::string, std::string> m,
                                           const std::vector<std::string>& prefixes) {
    std::erase_if(m, [&](const auto& kv) {
        return std::any_of(prefixes.begin(), prefixes.end(),
                           [&](const std::string& p) { return kv.first.rfind(p, 0) == 0; });
    });
    return m;
}

// Remembers, refresh by refresh, in which order the progress blocks appear.
void recordBlocks(RemoverRun& run, std::vector<int>& order) {
    run.driver.onRefresh = [&run, &order](sysaccess::ui::Form& f) {
        if (f.name() != "Uninstall") return;
        std::vector<int> fresh;
        for (int n = 1; n <= 27; ++n) {
            if (run.window().Block(n).Visible && std::find(order.begin(), order.end(), n) == order.end()) {
                fresh.push_back(n);
            }
        }
        order.insert(order.end(), fresh.begin(), fresh.end());
    };
}

const std::vector<std::string> Gone9xFiles{
    "prefix/drive_c/windows/system/QRXSER.VXD",     "prefix/drive_c/windows/system32/drivers/QRXUSB.SYS",
    "prefix/drive_c/windows/inf/QRXSER.INF",        "prefix/drive_c/windows/inf/QRXPORT.INF",
    "prefix/drive_c/windows/inf/other/TarnwickQRX.INF", "prefix/drive_c/windows/inf/OEM2.INF",
    "prefix/drive_c/windows/inf/OEM2.pnf",          "prefix/drive_c/windows/inf/oem5.inf",
    "prefix/drive_c/windows/inf/Drvdata.bin",       "prefix/drive_c/windows/inf/DRVIDX.BIN"};

const std::vector<std::string> Gone9xSections{
    "[Enum\\\\USB\\\\VID_0E4B&PID_0204",
    "[Enum\\\\QRXPORT\\\\",
    "[Enum\\\\QRXPORTLPT\\\\",
    "[System\\\\CurrentControlSet\\\\Services\\\\Class\\\\QRXSERIAL",
    "[System\\\\CurrentControlSet\\\\Control\\\\Print\\\\Monitors\\\\QRX Port Monitor",
    "[System\\\\CurrentControlSet\\\\Control\\\\Print\\\\Ports\\\\QRXSERIAL"};

}  // namespace

TEST(CompleteRemoval, NineXFamilyRemovesExactlyTheAdapterAndAsksToRestart) {
    RemoverRun run;
    machine9x(run);
    const auto filesBefore = files(run);
    const auto regBefore = fixtures::readHostFile(run.prefix.path() / "system.reg");
    std::vector<int> blocks;
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);
    recordBlocks(run, blocks);
    run.uninstall({mb::Yes, mb::No});

    ASSERT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.driver.boxes()[1].text,
              "Windows must be restarted to complete the device removal. Do you wish to restart now?");
    EXPECT_EQ(run.driver.boxes()[1].style, 36);
    EXPECT_EQ(run.driver.boxes()[1].title, "Restart");
    EXPECT_TRUE(run.driver.finished());  // No ends the program
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
    const auto ops = run.calls().ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "restart"), 0);

    // The files: exactly the listed ones gone, the rest untouched.
    auto expected = filesBefore;
    for (const auto& f : Gone9xFiles) ASSERT_EQ(expected.erase(f), 1u) << f;
    EXPECT_EQ(files(run), expected);

    // The registry: exactly the adapter's sections gone, the rest byte for byte.
    const auto regAfter = fixtures::readHostFile(run.prefix.path() / "system.reg");
    EXPECT_EQ(sections(regAfter), without(sections(regBefore), Gone9xSections));
    EXPECT_EQ(sections(regAfter).size() + 6, sections(regBefore).size());
    EXPECT_EQ(regAfter.substr(0, regAfter.find("\n[")), regBefore.substr(0, regBefore.find("\n[")));

    // The progress bar filled strictly from left to right.
    std::vector<int> all(27);
    for (int n = 1; n <= 27; ++n) all[static_cast<std::size_t>(n - 1)] = n;
    EXPECT_EQ(blocks, all);
}

TEST(CompleteRemoval, NineXFamilyYesRequestsTheRestartAndTheSystemClosesTheWindow) {
    RemoverRun run;
    machine9x(run);
    run.start();
    run.uninstall({mb::Yes, mb::Yes});
    EXPECT_TRUE(run.driver.finished());
    const auto ops = run.calls().ops();
    ASSERT_EQ(std::count(ops.begin(), ops.end(), "restart"), 1);
    EXPECT_EQ(run.calls().calls.back().op, "restart");
    EXPECT_EQ(run.calls().calls.back().arg, "2");
    EXPECT_EQ(run.calls().calls.back().status, 2);  // the reserved value reaches the system as the reason
    EXPECT_EQ(run.driver.boxes().size(), 2u);
}

// When the machine cannot restart (no restart program, or one that cannot be
// started), the request fails and the window stays open, usable again.
TEST(CompleteRemoval, NineXFamilyYesWithoutAPossibleRestartLeavesTheWindowOpen) {
    RemoverRun run;
    run.wineboot.clear();
    machine9x(run);
    run.start();
    run.uninstall({mb::Yes, mb::Yes});
    EXPECT_FALSE(run.driver.finished());
    EXPECT_TRUE(run.window().visible());
    EXPECT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.calls().calls.back().op, "restart");
    run.driver.click("Uninstall", "Command2");
    EXPECT_TRUE(run.driver.finished());

    fixtures::TempDir prefix;
    fixtures::writeHostFile(prefix.path() / "not-a-program", "text");
    for (const auto& [program, starts] : {std::pair{prefix.path() / "missing", false},
                                          std::pair{prefix.path() / "not-a-program", false},
                                          std::pair{fs::path("/bin/true"), true}}) {
        sysaccess::platform_prefix::PrefixOptions options;
        options.prefix = prefix.path();
        options.wineboot = program;
        sysaccess::platform_prefix::PrefixPlatform machine(options);
        EXPECT_EQ(machine.requestRestart(2, 2), starts) << program;
    }
}

TEST(CompleteRemoval, NtFamilyTakesTheDeviceTreeApartAndGivesTheNotice) {
    RemoverRun run;
    machineNt(run, false);
    auto expected = keysIn(run);
    std::erase_if(expected, [](const std::string& k) {
        return k.rfind(Enum + "KELVARN", 0) == 0 || k.rfind(Enum + "USB\\VID_0E4B", 0) == 0;
    });
    run.start();
    run.uninstall({mb::Yes, mb::Ok});

    // The device key went leaf by leaf: Port0, Port1, QRXCOM, then 6&1A&0.
    std::vector<std::string> deleted;
    for (const auto& c : run.calls().calls) {
        if (c.op == "delete" && c.status == 0) deleted.push_back(c.arg);
    }
    ASSERT_GE(deleted.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(deleted.begin(), deleted.begin() + 4),
              (std::vector<std::string>{"Port0", "Port1", "QRXCOM", "6&1A&0"}));
    EXPECT_EQ(keysIn(run), expected);

    ASSERT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.driver.boxes()[1].text, "Windows must to restart to complete the device removal");
    EXPECT_EQ(run.driver.boxes()[1].style, 48);
    EXPECT_EQ(run.driver.boxes()[1].title, "Restart");
    EXPECT_TRUE(run.driver.finished());
    const auto ops = run.calls().ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "restart"), 0);
    EXPECT_FALSE(run.exists("C:\\windows\\system32\\drivers\\QRXUSB.SYS"));
}

TEST(CompleteRemoval, NtFamilyFailsWhenAFourthLevelKeyKeepsTheEnumeratorAlive) {
    RemoverRun run;
    machineNt(run, true);
    run.start();
    run.uninstall({mb::Yes, mb::Ok});
    ASSERT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.driver.boxes()[1].text,
              "1) The USB adapter could not be fully uninstalled.\r\n"
              "2) You must login with Adaministrator rights and re-run\r\n"
              "     this program to complete the process.");
    EXPECT_EQ(run.driver.boxes()[1].style, 16);
    EXPECT_EQ(run.driver.boxes()[1].title, "Uninstall Fail");
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(keysIn(run).count(Enum + "KELVARN"));
    // The run ended inside the registry step: the driver file is still there.
    EXPECT_TRUE(run.exists("C:\\windows\\system32\\drivers\\QRXUSB.SYS"));
}
