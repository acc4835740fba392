#pragma once
// A remover on a machine image with a given registry, for the tests of the
// registry step: CleanRegistry called directly for one entry, and the keys
// and deletions read back.
#include <filesystem>
#include <string>
#include <vector>

#include "RemoverHarness.h"
#include "sysaccess/registry/Registry.h"

namespace remover_test {

using Keys = std::vector<std::string>;

inline const std::string Ctl = "SYSTEM\\CurrentControlSet\\Control\\";
inline const std::string NtMarker = Ctl + "COM Name Arbiter";
inline const std::string NtEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
inline const std::string Device = NtEnum + "KELVARN\\VID_0E4B&PID_02XX\\";
inline const std::string Usb = NtEnum + "USB\\";
inline const std::string Class9x = "System\\CurrentControlSet\\Services\\Class\\";
inline const std::string Print9x = "System\\CurrentControlSet\\Control\\Print\\";

inline constexpr const char* FailText =
    "1) The USB adapter could not be fully uninstalled.\r\n2) You must login with Adaministrator rights and "
    "re-run\r\n     this program to complete the process.";

// A remover over the given registry, started by clean() or start(); its
// removal list is the registry entries followed by one present file, so the
// device can be ticked. One machine runs at a time: a run installs its
// platform for the whole process.
struct Machine : RemoverRun {
    Machine(const Keys& keys, bool nt, const Keys& registryEntries = {"[Delete Registry]"}) {
        Script s;
        s.removal = registryEntries;
        s.removal.insert(s.removal.end(), {"[Delete System]", "QRXSER.VXD"});
        script(s);
        registry(keys, nt);
        prefix.file("C:\\windows\\system\\QRXSER.VXD", "vxd");
    }
    // CleanRegistry for one entry with these match entries, on the program's thread.
    void clean(const std::string& entry, const Keys& matches = {"VID_0E4B", "PID_02", "=========="}) {
        if (!driver.form("Uninstall")) start();
        driver.schedule(driver.clock(), [this, entry, matches] {
            auto& w = window();
            for (std::size_t n = 1; n <= 22; ++n) w.RegistryMatchList[n] = n <= matches.size() ? matches[n - 1] : "";
            w.RemovalList[1] = entry;
            w.EntryIndex = 1;
            w.CleanRegistry();
        });
        driver.advance(1);
        ASSERT_FALSE(driver.failure());
    }
    std::filesystem::path regFile() const { return prefix.path() / "system.reg"; }
    Keys subkeys(const std::string& path) const {
        return sysaccess::registry::Registry({.systemReg = regFile()}).subkeys(path);
    }
    bool has(const std::string& path) const { return sysaccess::registry::Registry({.systemReg = regFile()}).exists(path); }
    // Subkey names passed to RegDeleteKeyA, in order.
    Keys deletes() {
        Keys r;
        for (const auto& c : calls().calls)
            if (c.op == "delete") r.push_back(c.arg);
        return r;
    }
};

}  // namespace remover_test
