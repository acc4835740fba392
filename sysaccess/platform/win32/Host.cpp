#include "sysaccess/Host.h"

#include "sysaccess/drivers/win32/Win32Driver.h"
#include "sysaccess/platform/win32/Win32Platform.h"
#include "sysaccess/platform/win32/Wow64.h"

#include <windows.h>

namespace sysaccess {

int runOnThisMachine(const char* name, Program program, On64BitWindows on64BitWindows) {
    if (const auto status = handOverTo64BitTwin()) return *status;
    if (on64BitWindows.refusalWithoutTwin && platform_win32::underWow64()) {
        ::MessageBoxA(nullptr, on64BitWindows.refusalWithoutTwin, name, MB_OK | MB_ICONSTOP);
        return 1;
    }
    platform_win32::Win32Platform machine;
    PlatformGuard installed(machine);
    drivers::Win32Driver display(::GetModuleHandleW(nullptr));
    return program(display);
}

}  // namespace sysaccess
