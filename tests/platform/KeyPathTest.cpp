// Key paths of the win32 platform: which refused deletions may go to the PnP
// manager depends on deviceInstanceOf telling instance keys from the rest.
#include <gtest/gtest.h>

#include "sysaccess/platform/KeyPath.h"

using sysaccess::deviceInstanceOf;
using sysaccess::joinKeyPath;

TEST(KeyPath, JoinsWithOneSeparatorWhateverTrailsTheParts) {
    EXPECT_EQ(joinKeyPath("", "SYSTEM\\CurrentControlSet\\Enum\\", 1252), "SYSTEM\\CurrentControlSet\\Enum");
    EXPECT_EQ(joinKeyPath("SYSTEM\\CurrentControlSet\\Enum\\USB\\", "VID_0E4B&PID_0204", 1252),
              "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_0204");
    EXPECT_EQ(joinKeyPath("Enum", "", 1252), "Enum");
    // A '\' that is the second byte of a Big5 character is part of the name, not a separator.
    EXPECT_EQ(joinKeyPath("A", "\xA5\\", 950), "A\\\xA5\\");
}

TEST(KeyPath, InstanceKeysAndTheKeysBelowThemNameTheirInstance) {
    const std::string usb = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_0204\\";
    EXPECT_EQ(deviceInstanceOf(usb + "5&1A&0&1", 1252), "USB\\VID_0E4B&PID_0204\\5&1A&0&1");
    EXPECT_EQ(deviceInstanceOf(usb + "5&1A&0&1\\", 1252), "USB\\VID_0E4B&PID_0204\\5&1A&0&1");
    EXPECT_EQ(deviceInstanceOf(usb + "5&1A&0&1\\Device Parameters\\Sub", 1252), "USB\\VID_0E4B&PID_0204\\5&1A&0&1");
    // Names compare regardless of case, as the registry compares them; '/' is part of a name.
    EXPECT_EQ(deviceInstanceOf("system\\currentcontrolset\\ENUM\\Root\\A/B\\0000", 1252), "Root\\A/B\\0000");
}

TEST(KeyPath, KeysAboveAnInstanceOrOutsideTheDeviceTreeNameNone) {
    for (const char* path : {"SYSTEM\\CurrentControlSet\\Enum", "SYSTEM\\CurrentControlSet\\Enum\\USB",
                             "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_0204",
                             "SYSTEM\\CurrentControlSet\\Services\\USB\\VID_0E4B&PID_0204\\5&1",
                             "SYSTEM\\ControlSet001\\Enum\\USB\\VID_0E4B&PID_0204\\5&1",
                             "Enum\\USB\\VID_0E4B&PID_0204\\5&1\\X\\Y",
                             " SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0E4B&PID_0204\\5&1",
                             "SYSTEM\\CurrentControlSet\\Enum\\USB\\\\VID_0E4B&PID_0204\\5&1"}) {
        EXPECT_EQ(deviceInstanceOf(path, 1252), "") << path;
    }
    // In Big5, "\xA5\\" is one character: the device key's name, not a separator before an instance.
    EXPECT_EQ(deviceInstanceOf("SYSTEM\\CurrentControlSet\\Enum\\USB\\Dev\xA5\\", 950), "");
}
