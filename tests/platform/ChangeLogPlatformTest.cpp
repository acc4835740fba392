// The change log of a real removal writes down what the machine did, in the
// dry run's form, and nothing the machine did not do.
#include <gtest/gtest.h>

#include <set>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/platform/KeyPath.h"
#include "sysaccess/platform/memory/MemoryPlatform.h"
#include "sysaccess/platform/overlay/ChangeLogPlatform.h"

using sysaccess::HKEY_LOCAL_MACHINE;
using sysaccess::overlay::Change;
using sysaccess::overlay::ChangeLogPlatform;

namespace {

// A machine with a driver store that, as Wine's does, takes a package's
// ".inf" file away and leaves its ".pnf" to the caller.
class MachineWithStore : public sysaccess::platform_memory::MemoryPlatform {
public:
    std::set<std::string> packages;  // bare ".inf" names it knows
    bool removeDriverPackage(const std::string& infName) override {
        if (!packages.count(infName)) return false;
        deleteFile(windowsFolder + "\\INF\\" + infName);
        return true;
    }
};

std::vector<std::string> listed(const ChangeLogPlatform& log) {
    std::vector<std::string> out;
    for (const Change& c : log.changes()) {
        const char* kind = c.kind == Change::Kind::DeleteKey ? "key " : c.kind == Change::Kind::DeleteFile ? "file " : "write ";
        out.push_back(std::string(kind) + c.what + (c.takenWith.empty() ? "" : " <" + c.takenWith + ">") + " @" + c.step);
    }
    return out;
}

}  // namespace

TEST(ChangeLogPlatform, RecordsWhatTheMachineRemovedWithWhatWentAlongAndNothingItRefused) {
    MachineWithStore machine;
    machine.registry().createKey("Enum\\QRXPORT\\QRXCOM\\0000");
    machine.registry().createKey("Enum\\QRXPORT\\QRXCOM\\0001");
    machine.registry().createKey("Enum\\ROOT\\PNP0C01");
    machine.putFile("C:\\WINDOWS\\INF\\OEM3.INF", "inf");
    machine.putFile("C:\\WINDOWS\\INF\\OEM3.PNF", "pnf");
    machine.putFile("C:\\WINDOWS\\INF\\OEM4.INF", "inf");
    machine.packages = {"OEM3.INF"};
    ChangeLogPlatform log(machine, true);
    int entry = 1;
    log.step = [&] { return std::to_string(entry); };

    sysaccess::HKEY32 enumKey = 0;
    ASSERT_EQ(log.RegOpenKeyA(HKEY_LOCAL_MACHINE, "Enum\\", &enumKey), sysaccess::status::Success);
    EXPECT_EQ(log.RegDeleteKeyA(enumKey, "QRXPORT"), sysaccess::status::Success);
    EXPECT_NE(log.RegDeleteKeyA(enumKey, "QRXPORT"), sysaccess::status::Success);  // gone: nothing recorded
    EXPECT_FALSE(machine.registry().exists("Enum\\QRXPORT"));
    EXPECT_TRUE(machine.registry().exists("Enum\\ROOT\\PNP0C01"));
    log.RegCloseKey(enumKey);

    entry = 0;  // a file written and deleted again is no removal
    log.writeFile("c:\\lnk.url", "[InternetShortcut]");
    log.deleteFile("C:\\LNK.URL");
    EXPECT_FALSE(machine.hasFile("C:\\LNK.URL"));

    entry = 5;  // the package's ".inf" goes with it, the ".pnf" by the caller
    EXPECT_TRUE(log.removeDriverPackage("OEM3.INF"));
    log.deleteFile("C:\\WINDOWS\\INF\\OEM3.PNF");
    EXPECT_FALSE(log.removeDriverPackage("OEM4.INF"));  // unknown to the store: nothing gone
    EXPECT_THROW(log.deleteFile("C:\\WINDOWS\\INF\\OEM9.INF"), sysaccess::RuntimeError);

    EXPECT_EQ(listed(log), (std::vector<std::string>{
                               "key Enum\\QRXPORT @1",
                               "key Enum\\QRXPORT\\QRXCOM <Enum\\QRXPORT> @1",
                               "key Enum\\QRXPORT\\QRXCOM\\0000 <Enum\\QRXPORT> @1",
                               "key Enum\\QRXPORT\\QRXCOM\\0001 <Enum\\QRXPORT> @1",
                               "write c:\\lnk.url @0",
                               "file C:\\WINDOWS\\inf\\OEM3.INF @5",  // as the Windows folder and "inf" spell it
                               "file C:\\WINDOWS\\INF\\OEM3.PNF @5",
                           }));
    EXPECT_TRUE(machine.hasFile("C:\\WINDOWS\\INF\\OEM4.INF"));
}

// Where the machine keeps a key's subkeys from going with it (the NT
// layout), a refused deletion records nothing and nothing is read below.
TEST(ChangeLogPlatform, OnTheNtLayoutAKeyWithSubkeysIsRefusedAndNotRecorded) {
    sysaccess::platform_memory::MemoryPlatform machine(sysaccess::registry::Family::NT);
    machine.registry().createKey("SYSTEM\\CurrentControlSet\\Enum\\KELVARN\\QRXBUS");
    ChangeLogPlatform log(machine, false);
    sysaccess::HKEY32 enumKey = 0;
    ASSERT_EQ(log.RegOpenKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum", &enumKey), 0);
    EXPECT_NE(log.RegDeleteKeyA(enumKey, "KELVARN"), sysaccess::status::Success);
    EXPECT_EQ(log.RegDeleteKeyA(enumKey, "KELVARN\\QRXBUS"), sysaccess::status::Success);
    EXPECT_EQ(listed(log), (std::vector<std::string>{"key SYSTEM\\CurrentControlSet\\Enum\\KELVARN\\QRXBUS @"}));
}

namespace {

// Windows as the win32 platform meets it: a device key's deletion that only
// the Plug and Play manager may carry out removes the whole device instance,
// and the system deletes the device and enumerator keys it leaves empty.
class MachineWithPnp : public sysaccess::platform_memory::MemoryPlatform {
public:
    MachineWithPnp() : MemoryPlatform(sysaccess::registry::Family::NT) {}
    long RegDeleteKeyA(sysaccess::HKEY32 key, const std::string& subKey) override {
        const std::string instance = sysaccess::deviceInstanceOf(subKey, 1252);
        if (key != HKEY_LOCAL_MACHINE || instance.empty()) return MemoryPlatform::RegDeleteKeyA(key, subKey);
        std::string path = Tree + instance;
        removeTree(path);
        for (int up = 0; up < 2; ++up) {
            path = path.substr(0, path.rfind('\\'));
            if (registry().subkeys(path).empty()) removeTree(path);
        }
        return sysaccess::status::Success;
    }

    static inline const std::string Tree = "SYSTEM\\CurrentControlSet\\Enum\\";

private:
    void removeTree(const std::string& path) {
        for (const std::string& child : registry().subkeys(path)) removeTree(path + "\\" + child);
        MemoryPlatform::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    }
};

}  // namespace

TEST(ChangeLogPlatform, KeysTheSystemRemovedWithADeviceKeyAreRecordedAsTakenAlong) {
    MachineWithPnp machine;
    const std::string device = MachineWithPnp::Tree + "USB\\VID_0E4B&PID_0204";
    machine.registry().createKey(device + "\\5&2C\\Device Parameters");
    machine.registry().createKey(device + "\\5&2C\\LogConf");
    machine.registry().createKey(MachineWithPnp::Tree + "USB\\ROOT_HUB\\4&1");
    ChangeLogPlatform log(machine, false);
    EXPECT_EQ(log.RegDeleteKeyA(HKEY_LOCAL_MACHINE, device + "\\5&2C\\Device Parameters"), sysaccess::status::Success);
    const std::string taken = " <" + device + "\\5&2C\\Device Parameters> @";
    EXPECT_EQ(listed(log), (std::vector<std::string>{"key " + device + "\\5&2C\\Device Parameters @",
                                                     "key " + device + "\\5&2C\\LogConf" + taken,
                                                     "key " + device + "\\5&2C" + taken, "key " + device + taken}));
    EXPECT_TRUE(machine.registry().exists(MachineWithPnp::Tree + "USB\\ROOT_HUB\\4&1"));
}
