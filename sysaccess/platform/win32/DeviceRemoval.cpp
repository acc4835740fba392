#include "sysaccess/platform/win32/DeviceRemoval.h"

#include "sysaccess/platform/win32/SystemLibrary.h"

#include <windows.h>
#include <setupapi.h>

namespace sysaccess::platform_win32 {

bool uninstallDeviceInstance(const std::string& instanceId) {
    const SystemLibrary setupapi("setupapi.dll");
    using CreateList = HDEVINFO(WINAPI*)(const GUID*, HWND);
    using OpenInfo = BOOL(WINAPI*)(HDEVINFO, PCSTR, HWND, DWORD, PSP_DEVINFO_DATA);
    using CallInstaller = BOOL(WINAPI*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA);
    using DestroyList = BOOL(WINAPI*)(HDEVINFO);
    const auto createList = setupapi.function<CreateList>("SetupDiCreateDeviceInfoList");
    const auto openInfo = setupapi.function<OpenInfo>("SetupDiOpenDeviceInfoA");
    const auto callInstaller = setupapi.function<CallInstaller>("SetupDiCallClassInstaller");
    const auto destroyList = setupapi.function<DestroyList>("SetupDiDestroyDeviceInfoList");
    if (!createList || !openInfo || !callInstaller || !destroyList) return false;

    // An empty list of no class, into which the one instance is opened by its ID.
    const HDEVINFO list = createList(nullptr, nullptr);
    if (list == INVALID_HANDLE_VALUE) return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    bool removed = false;
    // Without class install parameters the request removes the device from
    // the system as a whole (every hardware profile), as Device Manager's
    // "Uninstall" does.
    if (openInfo(list, instanceId.c_str(), nullptr, 0, &device)) removed = callInstaller(DIF_REMOVE, list, &device);
    destroyList(list);
    return removed;
}

}  // namespace sysaccess::platform_win32
