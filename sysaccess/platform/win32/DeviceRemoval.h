#pragma once
// Removal of a device through the PnP manager. On the NT family the device
// tree below SYSTEM\CurrentControlSet\Enum belongs to the system: even an
// administrator may not delete its keys, and the system deletes a device's
// hardware and software keys itself when the device is uninstalled.
#include <string>

namespace sysaccess::platform_win32 {

// Uninstalls the device instance with this ID ("USB\VID_0E4B&PID_0204\5&1A&0&1")
// as Device Manager does: SetupAPI's class installer with DIF_REMOVE, from every
// hardware profile. SetupAPI is looked up at run time from the system
// folder. True when the system reports the device removed; false when it
// refused, knows no such instance, or has no SetupAPI.
bool uninstallDeviceInstance(const std::string& instanceId);

}  // namespace sysaccess::platform_win32
