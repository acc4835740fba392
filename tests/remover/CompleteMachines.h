#pragma once
// The machine images of the complete removals, one of each registry family,
// with the adapter installed among other devices and files: what the window
// program's removal and Busview's unattended removal are both held to.
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "remover/RemoverHarness.h"
#include "sysaccess/registry/Registry.h"

namespace complete_removal {

using remover_test::RemoverRun;
using remover_test::Script;

// A setup-information file naming one hardware id, with the many fields a
// real one has.
inline std::string infFile(const std::string& hardwareId) {
    std::string t =
        "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=Ports\r\nProvider=%Mfg%\r\n\r\n"
        "[Manufacturer]\r\n%Mfg%=Models\r\n\r\n[Models]\r\n%Dev.Desc%=Dev.Install," +
        hardwareId + "\r\n\r\n[Dev.Install]\r\nCopyFiles=Dev.Copy,Dev.Sys\r\nAddReg=Dev.AddReg\r\n";
    for (int i = 0; i < 40; ++i) t += "HKR,,Value" + std::to_string(i) + ",0,\"data\"\r\n";
    return t;
}

// Every file under the image, with its bytes.
inline std::map<std::string, std::string> files(const RemoverRun& run) {
    std::map<std::string, std::string> all;
    for (auto& e : std::filesystem::recursive_directory_iterator(run.prefix.scratch().path())) {
        if (e.is_regular_file() && !e.is_symlink() && e.path().filename() != "system.reg" &&
            e.path().filename() != "system.reg.lock") {
            all[std::filesystem::relative(e.path(), run.prefix.scratch().path()).string()] = fixtures::readHostFile(e.path());
        }
    }
    return all;
}

// The sections of a system.reg text, each with its bytes, by header line.
inline std::map<std::string, std::string> sections(const std::string& text) {
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

inline const std::vector<std::string> Keys9x{
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

inline Script script9x() {
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

inline void machine9x(RemoverRun& run) {
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

inline const std::string Enum = "SYSTEM\\CurrentControlSet\\Enum\\";

inline std::vector<std::string> keysNt(bool fourthLevel) {
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

inline void machineNt(RemoverRun& run, bool fourthLevel) {
    Script s;
    s.matches = {"VID_0E4B"};
    s.removal = {"[Delete Registry]", "unused on this family", "[Delete System32]", "QRXUSB.SYS"};
    run.script(s);
    run.registry(keysNt(fourthLevel), true);
    run.prefix.file("C:\\windows\\system32\\drivers\\QRXUSB.SYS", "usb driver");
}

inline std::set<std::string> keysIn(const RemoverRun& run) {
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

}  // namespace complete_removal
