// Whole removals on realistic machine images, of both registry families:
// exactly the adapter's files and keys go, everything else stays as it was.
#include <algorithm>
#include <map>
#include <set>

#include "RemoverHarness.h"
#include "sysaccess/registry/Registry.h"

using namespace remover_test;
namespace fs = std::filesystem;
namespace mb = sysaccess::ui::mb;

namespace {

// A setup-information file naming one hardware id, with the many fields a
// real one has.
std::string infFile(const std::string& hardwareId) {
    std::string t =
        "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=Ports\r\nProvider=%Mfg%\r\n\r\n"
        "[Manufacturer]\r\n%Mfg%=Models\r\n\r\n[Models]\r\n%Dev.Desc%=Dev.Install," +
        hardwareId + "\r\n\r\n[Dev.Install]\r\nCopyFiles=Dev.Copy,Dev.Sys\r\nAddReg=Dev.AddReg\r\n";
    for (int i = 0; i < 40; ++i) t += "HKR,,Value" + std::to_string(i) + ",0,\"data\"\r\n";
    return t;
}

// Every file under the image, with its bytes.
std::map<std::string, std::string> files(const RemoverRun& run) {
    std::map<std::string, std::string> all;
    for (auto& e : fs::recursive_directory_iterator(run.prefix.scratch().path())) {
        if (e.is_regular_file() && !e.is_symlink() && e.path().filename() != "system.reg" &&
            e.path().filename() != "system.reg.lock") {
            all[fs::relative(e.path(), run.prefix.scratch().path()).string()] = fixtures::readHostFile(e.path());
        }
    }
    return all;
}

// The sections of a system.reg text, each with its bytes, by header line.
std::map<std::string, std::string> sections(const std::string& text) {
    std::map<std::string, std::string> result;
    std::size_t pos = text.find("\n[");
    while (pos != std::string::npos) {
        const std::size_t next = text.find("\n[", pos + 1);
        const std::string section = text.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        result[section.substr(0, section.find(']'))] = section;
        pos = next;
    }
    return result;
}

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

const std::vector<std::string> Keys9x{
    "Enum\\ROOT\\*PNP0C01\\0000",
    "Enum\\PCI\\VEN_8086&DEV_7112&SUBSYS_00000000&REV_01\\BUS_00&DEV_07&FUNC_02",
    "Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112&SUBSYS_00000000&REV_01&BUS_00&DEV_07&FUNC_02",
    "Enum\\USB\\VID_046D&PID_C00E\\6&1234&0&1",
    "Enum\\USB\\VID_0E4B&PID_0204\\5&2C3D&0&1",
    "Enum\\QRXPORT\\QRXCOM\\0000",
    "Enum\\HTREE\\RESERVED\\0",
    "Enum\\QRXPORTLPT\\QRXLPT\\0000",
    "System\\CurrentControlSet\\Services\\Class\\Ports\\0000",
    "System\\CurrentControlSet\\Services\\Class\\QRXSERIAL\\0000",
    "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port",
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\QRX Port Monitor",
    "System\\CurrentControlSet\\Control\\Print\\Ports\\LPT1:",
    "System\\CurrentControlSet\\Control\\Print\\Ports\\QRXSERIAL",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
};

Script script9x() {
    Script s;
    s.matches = {"VID_0E4B"};
    s.removal = {"[Delete Registry]", "Enum\\USB", "QRXSERIAL", "QRX Port Monitor",
                 "[Delete System]", "QRXSER.VXD",
                 "[Delete System32]", "QRXUSB.SYS",
                 "[Delete Inf]", "QRX*.INF",
                 "[Delete Other]", "TarnwickQRX.INF",
                 "[Delete W2kinf]", "oem"};
    return s;
}

void machine9x(RemoverRun& run) {
    run.script(script9x());
    run.registry(Keys9x);
    auto& p = run.prefix;
    p.file("C:\\windows\\system\\QRXSER.VXD", "vxd driver");
    p.file("C:\\windows\\system\\KERNEL32.DLL", "kernel");
    p.file("C:\\windows\\system32\\drivers\\QRXUSB.SYS", "usb driver");
    p.file("C:\\windows\\system32\\drivers\\USBD.SYS", "usbd");
    p.file("C:\\windows\\inf\\QRXSER.INF", infFile("USB\\VID_0E4B&PID_0204"));
    p.file("C:\\windows\\inf\\QRXPORT.INF", infFile("QRXPORT\\QRXCOM"));
    p.file("C:\\windows\\inf\\QRXHIDE.INF", "hidden", fixtures::Attr::Hidden);
    p.file("C:\\windows\\inf\\MSPORTS.INF", infFile("*PNP0501"));
    p.file("C:\\windows\\inf\\other\\TarnwickQRX.INF", infFile("USB\\VID_0E4B&PID_0204"));
    p.file("C:\\windows\\inf\\other\\OtherMaker.INF", infFile("USB\\VID_046D&PID_C00E"));
    p.file("C:\\windows\\inf\\oem1.inf", infFile("USB\\VID_046D&PID_C00E"));
    p.file("C:\\windows\\inf\\oem1.pnf", "pnf");
    p.file("C:\\windows\\inf\\OEM2.INF", infFile("USB\\VID_0E4B&PID_0204"));
    p.file("C:\\windows\\inf\\OEM2.pnf", "pnf");
    p.file("C:\\windows\\inf\\oem5.inf", infFile("USB\\VID_07A6&PID_0986"));  // no companion
    p.file("C:\\windows\\inf\\Drvdata.bin", "database");
    p.file("C:\\windows\\inf\\DRVIDX.BIN", "index");
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

namespace {

const std::string Enum = "SYSTEM\\CurrentControlSet\\Enum\\";

std::vector<std::string> keysNt(bool fourthLevel) {
    std::vector<std::string> k{
        "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter",
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\0000",
        Enum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port0",
        Enum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port1",
        Enum + "KELVARN\\QRXBUS",
        Enum + "USB\\ROOT_HUB\\4&1234&0",
        Enum + "USB\\VID_046D&PID_C00E\\6&5678&0&1\\Device Parameters",
        Enum + "USB\\VID_0E4B&PID_0204\\5&2C3D&0&1\\Device Parameters",
        Enum + "ROOT\\LEGACY_BEEP\\0000",
    };
    if (fourthLevel) k.push_back(Enum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port0\\Extra");
    return k;
}

void machineNt(RemoverRun& run, bool fourthLevel) {
    Script s;
    s.matches = {"VID_0E4B"};
    s.removal = {"[Delete Registry]", "unused on this family", "[Delete System32]", "QRXUSB.SYS"};
    run.script(s);
    run.registry(keysNt(fourthLevel), true);
    run.prefix.file("C:\\windows\\system32\\drivers\\QRXUSB.SYS", "usb driver");
}

std::set<std::string> keysIn(const RemoverRun& run) {
    sysaccess::registry::Registry::Options o;
    o.systemReg = run.prefix.path() / "system.reg";
    sysaccess::registry::Registry reg(o);
    std::set<std::string> all;
    std::function<void(const std::string&)> walk = [&](const std::string& path) {
        for (const auto& sub : reg.subkeys(path)) {
            const std::string child = path.empty() ? sub : path + "\\" + sub;
            all.insert(child);
            walk(child);
        }
    };
    walk("");
    return all;
}

}  // namespace

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
