#include "RegistryTestUtil.h"
#include "fixtures/SystemReg.h"
#include "fixtures/TempDir.h"
#include "sysaccess/registry/HubOverlay.h"

#include <gtest/gtest.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using namespace regtest;
using fixtures::readHostFile;
using Names = std::vector<std::string>;

namespace {

namespace fs = std::filesystem;

// A devices folder as the kernel lays it out: hubs, devices and interfaces.
fs::path fakeUsbDevices(const fixtures::TempDir& dir) {
    const fs::path devices = dir / "sys/bus/usb/devices";
    for (const char* e : {"usb10", "usb2", "1-0:1.0", "2-1", "usbmon", "usb1"})
        fs::create_directories(dir / "sys/devices/pci0000:00" / e);
    fs::create_directories(devices);
    for (const char* e : {"usb10", "usb2", "1-0:1.0", "2-1", "usbmon", "usb1"})
        fs::create_directory_symlink(dir / "sys/devices/pci0000:00" / e, devices / e);
    return devices;
}

}  // namespace

TEST(HubOverlay, ListsRootHubsAsReadOnlyKeys) {
    fixtures::TempDir dir;
    const fs::path devices = fakeUsbDevices(dir);
    EXPECT_EQ(rootHubKeyNames(devices), (Names{"USB1", "USB2", "USB10"}));
    EXPECT_TRUE(rootHubKeyNames(dir / "nowhere").empty());

    // Memory registry: the hubs alone make the path exist, as the probe reads it.
    Registry mem(Registry::Options{.usbDevicesDir = devices});
    const HKEY32 hub = openKey(mem, "Enum\\USB\\ROOT_HUB");
    ASSERT_NE(hub, 0u);
    EXPECT_EQ(nameAt(mem, hub, 0), "USB1");
    EXPECT_EQ(mem.RegDeleteKeyA(hub, "USB1"), status::AccessDenied);
    EXPECT_EQ(mem.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum"), status::AccessDenied);
    EXPECT_EQ(mem.subkeys("Enum\\USB\\ROOT_HUB"), (Names{"USB1", "USB2", "USB10"}));
}

TEST(HubOverlay, HubKeysNeverReachTheFile) {
    fixtures::TempDir dir;
    const fs::path reg = dir / "prefix/system.reg";
    fixtures::writeSystemReg(reg, {"Enum\\USB\\ROOT_HUB\\PCI_HUB", "Enum\\USB\\VID_1", "Enum\\Root"});
    const std::string before = readHostFile(reg);
    Registry::Options options{.systemReg = reg, .usbDevicesDir = fakeUsbDevices(dir),
                              .wineServerRoot = dir / "server"};
    Registry r(options);
    EXPECT_EQ(r.subkeys("Enum\\USB\\ROOT_HUB"), (Names{"PCI_HUB", "USB1", "USB2", "USB10"}));

    // Anything that would take a hub along is refused and changes nothing.
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB"), status::AccessDenied);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\ROOT_HUB\\usb2"), status::AccessDenied);
    EXPECT_EQ(readHostFile(reg), before);
    EXPECT_TRUE(r.exists("Enum\\USB\\VID_1"));

    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\ROOT_HUB\\PCI_HUB"), status::Success);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\VID_1"), status::Success);
    const std::string after = readHostFile(reg);
    EXPECT_EQ(after.find("USB1"), std::string::npos);
    // ROOT_HUB lost its last key in the file (hubs do not count) and gets a
    // section of its own; that section keeps USB in the file as well.
    EXPECT_NE(after.find("\n[Enum\\\\USB\\\\ROOT_HUB] "), std::string::npos);
    EXPECT_EQ(after.find("\n[Enum\\\\USB] "), std::string::npos);
    Registry plain(Registry::Options{.systemReg = reg, .wineServerRoot = dir / "server"});
    EXPECT_TRUE(plain.subkeys("Enum\\USB\\ROOT_HUB").empty());
    EXPECT_EQ(plain.subkeys("Enum\\USB"), (Names{"ROOT_HUB"}));
}
