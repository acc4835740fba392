// The operating-system operations as the programs call them.
#include <gtest/gtest.h>

#include "sysaccess/Module1.h"
#include "sysaccess/platform/memory/MemoryPlatform.h"

using namespace Module1;

TEST(Module1, WindowsDirectoryFillsTheBufferOrAsksForMore) {
    sysaccess::platform_memory::MemoryPlatform machine;
    sysaccess::PlatformGuard guard(machine);
    char buffer[80];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 80), 10u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS");

    machine.windowsFolder = "C:\\" + std::string(77, 'w');  // 80 characters
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 80), 81u);
    EXPECT_EQ(buffer[0], 'x');  // nothing written
    std::string bigger(81, '\0');
    EXPECT_EQ(GetWindowsDirectoryA(bigger.data(), 81), 80u);
    EXPECT_EQ(bigger.substr(0, 80), machine.windowsFolder);
}

TEST(Module1, GetSubkeyByIndexCopiesDifferOnlyInFailure) {
    sysaccess::platform_memory::MemoryPlatform machine;
    sysaccess::PlatformGuard guard(machine);
    machine.registry().createKey("Enum\\USB\\ROOT_HUB\\HUB0");
    machine.registry().createKey("Enum\\USB\\ROOT_HUB\\HUB1");
    HKEY32 hub = 99;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, "Enum\\USB\\ROOT_HUB\\", hub);
    ASSERT_NE(hub, 0u);

    std::string name = "keep";
    EXPECT_TRUE(Busprobe::GetSubkeyByIndex(hub, 1, name));
    EXPECT_EQ(name, "HUB1");
    for (int index : {2, -1}) {
        name = "keep";
        EXPECT_FALSE(Busprobe::GetSubkeyByIndex(hub, index, name));
        EXPECT_EQ(name, "keep");
        EXPECT_FALSE(Busclean::GetSubkeyByIndex(hub, index, name));
        EXPECT_EQ(name, "");
    }

    // Deleting subkey 0 moves the next one down.
    RegDeleteKeyA(hub, "HUB0");
    EXPECT_TRUE(Busclean::GetSubkeyByIndex(hub, 0, name));
    EXPECT_EQ(name, "HUB1");
    RegCloseKey(hub);

    // A failed open leaves 0, on which every enumeration fails.
    HKEY32 missing = 99;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, " Enum\\USB", missing);
    EXPECT_EQ(missing, 0u);
    for (int index : {0, 1}) EXPECT_FALSE(Busclean::GetSubkeyByIndex(missing, index, name));
    EXPECT_NE(RegCloseKey(missing), 0);
}
