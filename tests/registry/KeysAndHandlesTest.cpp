#include "RegistryTestUtil.h"

#include <gtest/gtest.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using namespace regtest;

namespace {
using Names = std::vector<std::string>;
}

TEST(RegistryKeys, PathsNameKeysAsTheProgramsPassThem) {
    Registry r(Registry::Options{});
    r.createKey("System\\CurrentControlSet\\Services\\Class\\Ports");

    const HKEY32 cls = openKey(r, "System\\CurrentControlSet\\Services\\Class\\");
    ASSERT_NE(cls, 0u);
    EXPECT_EQ(nameAt(r, cls, 0), "Ports");
    EXPECT_NE(openKey(r, "SYSTEM\\currentcontrolset\\services\\class"), 0u);  // any case

    HKEY32 h = 1234;
    EXPECT_EQ(r.RegOpenKeyA(HKEY_LOCAL_MACHINE, " System\\CurrentControlSet\\Services\\Class\\", &h),
              status::FileNotFound);
    EXPECT_EQ(h, 0u);  // failed open leaves 0, on which everything fails
    EXPECT_EQ(nameAt(r, h, 0), "");
    EXPECT_NE(r.RegOpenKeyA(HKEY_LOCAL_MACHINE, "System\\\\CurrentControlSet", &h), status::Success);
    EXPECT_NE(r.RegOpenKeyA(HKEY_LOCAL_MACHINE, "\\System", &h), status::Success);
    EXPECT_NE(r.RegOpenKeyA(HKEY_LOCAL_MACHINE, "System\\Nope", &h), status::Success);
    EXPECT_EQ(r.RegOpenKeyA(HKEY_LOCAL_MACHINE, "System", nullptr), status::InvalidParameter);

    // Relative to an open key; "" gives a second handle to the same key.
    HKEY32 ports = 0, again = 0;
    EXPECT_EQ(r.RegOpenKeyA(cls, "ports\\", &ports), status::Success);
    EXPECT_EQ(r.RegOpenKeyA(cls, "", &again), status::Success);
    EXPECT_NE(again, cls);
    EXPECT_EQ(nameAt(r, again, 0), "Ports");
    EXPECT_EQ(nameAt(r, ports, 0), "");
}

TEST(RegistryKeys, EnumerationStatusCodes) {
    Registry r(Registry::Options{});
    r.createKey("Enum\\USB\\ROOT_HUB\\PCI_HUB");
    const HKEY32 hub = openKey(r, "Enum\\USB\\ROOT_HUB");
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(r.RegEnumKeyA(hub, -1, buf, sizeof buf), status::InvalidParameter);
    EXPECT_EQ(r.RegEnumKeyA(hub, 1, buf, sizeof buf), status::NoMoreItems);
    EXPECT_EQ(r.RegEnumKeyA(hub, 0, buf, 7), status::MoreData);  // 7 letters need 8 with the NUL
    EXPECT_EQ(r.RegEnumKeyA(hub, 0, buf, 8), status::Success);
    EXPECT_STREQ(buf, "PCI_HUB");
    EXPECT_EQ(r.RegEnumKeyA(hub, 0, nullptr, 8), status::InvalidParameter);

    EXPECT_EQ(r.RegEnumKeyA(0, 0, buf, 8), status::InvalidHandle);
    EXPECT_EQ(r.RegEnumKeyA(0x4242, 0, buf, 8), status::InvalidHandle);
    EXPECT_EQ(r.RegCloseKey(hub), status::Success);
    EXPECT_EQ(r.RegEnumKeyA(hub, 0, buf, 8), status::InvalidHandle);
    EXPECT_EQ(r.RegCloseKey(hub), status::InvalidHandle);
    EXPECT_EQ(r.RegCloseKey(0), status::InvalidHandle);
    EXPECT_EQ(r.RegCloseKey(HKEY_LOCAL_MACHINE), status::Success);
    EXPECT_EQ(nameAt(r, HKEY_LOCAL_MACHINE, 0), "Enum");  // the root survives a close
    // A new handle never reuses the closed value.
    EXPECT_NE(openKey(r, "Enum\\USB\\ROOT_HUB"), hub);
}

TEST(RegistryKeys, Win9xNumbersByCreationAndDeletesWholeSubtrees) {
    Registry r(Registry::Options{});
    for (const char* k : {"Enum\\Zeta", "Enum\\alpha", "Enum\\Mid\\Child\\Leaf", "Enum\\QRXPORT\\0", "Enum\\QRXPORT2"})
        r.createKey(k);
    EXPECT_EQ(r.family(), Family::Win9x);
    EXPECT_EQ(r.subkeys("Enum"), (Names{"Zeta", "alpha", "Mid", "QRXPORT", "QRXPORT2"}));

    const HKEY32 en = openKey(r, "Enum");
    const HKEY32 child = openKey(r, "Enum\\Mid\\Child");
    EXPECT_EQ(r.RegDeleteKeyA(en, "QRXPORT"), status::Success);  // with its subkey
    EXPECT_EQ(nameAt(r, en, 3), "QRXPORT2");                     // moved down into the freed index
    EXPECT_EQ(r.RegDeleteKeyA(en, "mid"), status::Success);
    EXPECT_FALSE(r.exists("Enum\\Mid\\Child\\Leaf"));
    EXPECT_EQ(nameAt(r, child, 0), "");  // handle below a deleted key is dead
    char buf[16];
    EXPECT_EQ(r.RegEnumKeyA(child, 0, buf, sizeof buf), status::InvalidHandle);
    r.createKey("Enum\\Mid\\Child\\Leaf");  // same name again: still dead
    EXPECT_EQ(r.RegEnumKeyA(child, 0, buf, sizeof buf), status::InvalidHandle);

    EXPECT_EQ(r.RegDeleteKeyA(en, "Mid"), status::Success);
    EXPECT_EQ(r.RegDeleteKeyA(en, "Mid"), status::FileNotFound);
    EXPECT_EQ(r.RegDeleteKeyA(en, ""), status::InvalidParameter);  // never the key itself
    EXPECT_EQ(r.RegDeleteKeyA(en, " Zeta"), status::FileNotFound);
    EXPECT_EQ(r.RegDeleteKeyA(0, "Zeta"), status::InvalidHandle);
    EXPECT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Enum\\Zeta\\"), status::Success);  // a path works too
    EXPECT_EQ(r.subkeys("Enum"), (Names{"alpha", "QRXPORT2"}));
    r.createKey("Enum\\Zeta");  // a new key goes last
    EXPECT_EQ(r.subkeys("Enum"), (Names{"alpha", "QRXPORT2", "Zeta"}));
}

TEST(RegistryKeys, NtSortsInUpperCaseAndRefusesKeysWithSubkeys) {
    Registry r(Registry::Options{});
    for (const char* k : {"Enum\\b", "Enum\\A", "Enum\\_x", "Enum\\C\\d"}) r.createKey(k);
    EXPECT_EQ(r.subkeys("Enum"), (Names{"b", "A", "_x", "C"}));
    r.createKey("Software\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(r.family(), Family::NT);
    // '_' sorts after the letters once they are upper case.
    EXPECT_EQ(r.subkeys("Enum"), (Names{"A", "b", "C", "_x"}));
    r.createKey("Enum\\a0");
    EXPECT_EQ(r.subkeys("Enum"), (Names{"A", "a0", "b", "C", "_x"}));

    const HKEY32 en = openKey(r, "Enum");
    EXPECT_EQ(r.RegDeleteKeyA(en, "C"), status::AccessDenied);
    EXPECT_TRUE(r.exists("Enum\\C\\d"));
    EXPECT_EQ(r.RegDeleteKeyA(en, "C\\d"), status::Success);
    EXPECT_EQ(r.RegDeleteKeyA(en, "C"), status::Success);
    EXPECT_EQ(r.RegDeleteKeyA(en, "a0"), status::Success);
    EXPECT_EQ(nameAt(r, en, 1), "b");

    // A forced family wins over the content.
    Registry forced(Registry::Options{.family = Family::NT});
    forced.createKey("K\\z");
    forced.createKey("K\\Y\\1");
    EXPECT_EQ(forced.family(), Family::NT);
    EXPECT_EQ(forced.subkeys("K"), (Names{"Y", "z"}));
    EXPECT_EQ(forced.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "K\\Y"), status::AccessDenied);
    EXPECT_THROW(forced.createKey("A\\\\B"), std::invalid_argument);
}
