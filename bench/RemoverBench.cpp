// Timings of the remover on a machine image whose inf folder holds 2,000
// files: the start-up with its installed check, the 50 runs of the oem
// cleanup for one entry, and one registry deletion written back to a 2 MB
// system.reg.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "remover/Busclean.h"
#include "remover/Uninstall.h"
#include "sysaccess/drivers/headless/HeadlessDriver.h"
#include "sysaccess/platform/prefix/PrefixPlatform.h"
#include "sysaccess/registry/Registry.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void writeFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

// A setup-information file of a typical ports driver for this hardware id.
std::string infText(const std::string& hardwareId, int number) {
    std::string t =
        "; Installation file for a USB device\r\n"
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Ports\r\n"
        "ClassGuid={4D36E978-E325-11CE-BFC1-08002BE10318}\r\nProvider=%Mfg%\r\n"
        "DriverVer=07/14/2001,1.0.0." + std::to_string(number) + "\r\n"
        "[Manufacturer]\r\n%Mfg%=Models\r\n[Models]\r\n%Dev%=Install," + hardwareId + "\r\n"
        "[Install]\r\nCopyFiles=Install.Copy\r\nAddReg=Install.AddReg\r\n"
        "[Install.Copy]\r\nusbser.sys\r\n[Install.AddReg]\r\n"
        "HKR,,DevLoader,,*ntkern\r\nHKR,,NTMPDriver,,usbser.sys\r\nHKR,,PortSubClass,1,01\r\n"
        "[Install.Services]\r\nAddService=usbser,0x00000002,Service.Install\r\n"
        "[Service.Install]\r\nDisplayName=%Dev%\r\nServiceType=1\r\nStartType=3\r\nErrorControl=1\r\n"
        "ServiceBinary=%12%\\usbser.sys\r\n[SourceDisksNames]\r\n1=%Disk%,,,\r\n"
        "[SourceDisksFiles]\r\nusbser.sys=1\r\n[Strings]\r\n";
    for (int i = 0; i < 30; ++i) t += "Str" + std::to_string(i) + "=\"Text of string " + std::to_string(i) + "\"\r\n";
    return t;
}

// A removal script: 145 fields, one a line.
std::string script(const std::vector<std::string>& removal) {
    std::vector<std::string> f{"A:\\BUSPROBE.EXE", "USB Adapter Driver Removal", "Version 1.0", "Maker",
                               "Tel", "Fax", "Mail", "[InternetShortcut]", "URL=http://example.com/",
                               "1", "USB to Serial Adapter", "", "x", "VID_0E4B", "PID_02", "=========="};
    f.resize(35);
    std::vector<std::string> r = removal;
    r.resize(100);
    f.insert(f.end(), r.begin(), r.begin() + 80);
    f.resize(f.size() + 10);
    f.insert(f.end(), r.begin() + 80, r.end());
    std::string t;
    for (const auto& field : f) t += field + "\r\n";
    return t;
}

const std::string AdapterId = "USB\\VID_0E4B&PID_0230";

// A Wine-style machine image in a temporary folder: C: with the Windows
// folders, A: with the removal script, and an inf folder of 2,000 files.
class Image {
public:
    Image() {
        std::string tmpl = (fs::temp_directory_path() / "removerbench.XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        root_ = tmpl;
        const fs::path prefix = root_ / "prefix";
        fs::create_directories(prefix / "dosdevices");
        for (const char* f : {"system", "system32/drivers", "inf/other"}) fs::create_directories(windows() / f);
        fs::create_directories(root_ / "disk");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_directory_symlink(root_ / "disk", prefix / "dosdevices" / "a:");
        writeFile(root_ / "disk" / "Unins.dat",
                  script({"[Delete System]", "USBADP.SYS", "[Delete Inf]", "USBADP*.INF", "[Delete W2kinf]", "x"}));

        // oem0..oem50: other makers' devices, and the adapter in oem37.
        for (int n = 0; n <= 50; ++n) {
            char id[40];
            std::snprintf(id, sizeof id, "USB\\VID_%04X&PID_%04X", 0x1000 + n * 7, 0x2000 + n);
            writeFile(inf() / ("oem" + std::to_string(n) + ".inf"), infText(id, n));
            writeFile(inf() / ("oem" + std::to_string(n) + ".pnf"), std::string(3000, 'p'));
        }
        addAdapterFiles();
        // Windows' own setup-information files and their precompiled companions.
        for (int n = 0; n < 975; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "mdm%04d", n);
            writeFile(inf() / (std::string(name) + ".inf"), infText("PCI\\VEN_8086&DEV_1234", n));
            writeFile(inf() / (std::string(name) + ".pnf"), std::string(3000, 'p'));
        }
    }
    ~Image() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    fs::path windows() const { return root_ / "prefix" / "drive_c" / "windows"; }
    fs::path inf() const { return windows() / "inf"; }
    const fs::path& root() const { return root_; }

    // The adapter's oem file as the installer left it.
    void addAdapterFiles() {
        writeFile(inf() / "oem37.inf", infText(AdapterId, 37));
        writeFile(inf() / "oem37.pnf", std::string(3000, 'p'));
        changed_ = Clock::now();
    }

    // Waits until the folders last changed a few seconds ago, as on a machine
    // where the driver was installed earlier: the file search keeps a folder's
    // listing only once the folder's time stamps have settled.
    void settle() const { std::this_thread::sleep_until(changed_ + std::chrono::milliseconds(3100)); }

    sysaccess::platform_prefix::PrefixOptions options() const {
        sysaccess::platform_prefix::PrefixOptions o;
        o.prefix = root_ / "prefix";
        o.usbDevicesDir = "";
        o.wineServerRoot = root_ / "no-wine-server";
        o.programFile = root_ / "disk" / "BUSCLEAN.EXE";
        o.currentDir = root_ / "prefix" / "drive_c";
        o.allowLaunch = false;
        return o;
    }

private:
    fs::path root_;
    Clock::time_point changed_ = Clock::now();
};

Image& image() {
    static Image img;
    return img;
}

// From program start until the window is up, on the headless display.
void BM_StartUp(benchmark::State& state) {
    image().settle();
    for (auto _ : state) {
        // A fresh machine each time: nothing is known of the folders yet.
        sysaccess::platform_prefix::PrefixPlatform machine(image().options());
        sysaccess::PlatformGuard guard(machine);
        sysaccess::drivers::HeadlessDriver driver;
        const auto begin = Clock::now();
        driver.start([&] { busclean::run(driver); });
        const auto end = Clock::now();
        auto* form = dynamic_cast<busclean::Uninstall*>(driver.form("Uninstall"));
        if (!form || !form->Check1.Enabled) {
            state.SkipWithError("the remover did not come up with the device enabled");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        driver.click("Uninstall", "Command2");
    }
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond);

// One "[Delete W2kinf]" entry: 50 runs, the first deleting the adapter's file.
void BM_OemCleanupFiftyRuns(benchmark::State& state) {
    sysaccess::platform_prefix::PrefixPlatform machine(image().options());
    sysaccess::PlatformGuard guard(machine);
    busclean::Uninstall window;
    window.WinDir = "C:\\windows";
    for (auto _ : state) {
        image().addAdapterFiles();
        image().settle();
        const auto begin = Clock::now();
        for (int run = 1; run <= 50; ++run) window.RemoveOemInfFiles();
        const auto end = Clock::now();
        if (fs::exists(image().inf() / "oem37.inf")) {
            state.SkipWithError("the adapter's oem file was not deleted");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}
BENCHMARK(BM_OemCleanupFiftyRuns)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A 9x-family system.reg of about 2 MB with the adapter's device key in it.
std::string bigSystemReg() {
    std::string t = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";
    auto section = [&](const std::string& path, int serial) {
        t += "\n[" + path + "] " + std::to_string(1700000000 + serial) + "\n#time=1d9a0b0c0d0e0f0\n";
        t += "\"DeviceDesc\"=\"Device number " + std::to_string(serial) + "\"\n";
        t += "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_" + std::to_string(serial) + "\"\n";
        t += "\"Driver\"=\"Class\\\\Unknown\\\\" + std::to_string(serial) + "\"\n";
    };
    int serial = 0;
    while (t.size() < 2'000'000) {
        section("Enum\\\\PCI\\\\VEN_8086&DEV_" + std::to_string(serial) + "\\\\BUS_00&DEV_01", serial);
        ++serial;
    }
    section("Enum\\\\USB\\\\VID_0E4B&PID_0230", serial++);
    section("Enum\\\\USB\\\\VID_0E4B&PID_0230\\\\5&1A2B3C4D&0&1", serial++);
    return t;
}

// One key deleted and the file written back.
void BM_RegistryDeletionWrittenBack(benchmark::State& state) {
    const fs::path file = image().root() / "registry" / "system.reg";
    const std::string text = bigSystemReg();
    for (auto _ : state) {
        writeFile(file, text);
        sysaccess::registry::Registry::Options o;
        o.systemReg = file;
        o.wineServerRoot = image().root() / "no-wine-server";
        sysaccess::registry::Registry reg(o);
        sysaccess::HKEY32 usb = 0;
        reg.RegOpenKeyA(sysaccess::HKEY_LOCAL_MACHINE, "Enum\\USB", &usb);
        const auto begin = Clock::now();
        const long status = reg.RegDeleteKeyA(usb, "VID_0E4B&PID_0230");
        const auto end = Clock::now();
        reg.RegCloseKey(usb);
        if (status != sysaccess::status::Success) {
            state.SkipWithError("the deletion failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_RegistryDeletionWrittenBack)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
