#include "sysaccess/Host.h"

#include "sysaccess/drivers/win32/Win32Driver.h"
#include "sysaccess/platform/win32/Win32Platform.h"

#include <windows.h>

namespace sysaccess {

int runOnThisMachine(const char* /*name*/, Program program) {
    platform_win32::Win32Platform machine;
    PlatformGuard installed(machine);
    drivers::Win32Driver display(::GetModuleHandleW(nullptr));
    return program(display);
}

}  // namespace sysaccess
