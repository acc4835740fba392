#include "sysaccess/Module1.h"

#include <cstring>

#include "sysaccess/ui/Application.h"

namespace Module1 {

using sysaccess::platform;
using sysaccess::ui::Application;

long RegOpenKeyA(HKEY32 hKey, const std::string& lpSubKey, HKEY32& phkResult) {
    return platform().RegOpenKeyA(hKey, lpSubKey, &phkResult);
}

long RegEnumKeyA(HKEY32 hKey, std::int32_t dwIndex, char* lpName, std::uint32_t cbName) {
    return platform().RegEnumKeyA(hKey, dwIndex, lpName, cbName);
}

long RegDeleteKeyA(HKEY32 hKey, const std::string& lpSubKey) {
    return platform().RegDeleteKeyA(hKey, lpSubKey);
}

long RegCloseKey(HKEY32 hKey) { return platform().RegCloseKey(hKey); }

std::uint32_t GetWindowsDirectoryA(char* lpBuffer, std::uint32_t uSize) {
    const std::string dir = platform().windowsDirectory();
    const auto needed = static_cast<std::uint32_t>(dir.size() + 1);
    if (!lpBuffer || uSize < needed) return needed;
    std::memcpy(lpBuffer, dir.c_str(), needed);
    return needed - 1;
}

void Sleep(std::uint32_t dwMilliseconds) { Application::current().sleep(dwMilliseconds); }

long ExitWindowsEx(std::uint32_t uFlags, std::uint32_t dwReserved) {
    const bool goingDown = platform().requestRestart(uFlags, dwReserved);
    // A system that goes down closes the program's windows, running their
    // unload handlers, once the caller is back in the event loop.
    if (goingDown && Application::exists()) Application::current().closeAllWindows();
    return goingDown ? 1 : 0;
}

long SetupUninstallOEMInfA(const std::string& InfFileName, std::uint32_t Flags) {
    // Only the forced removal is offered: a package a device still uses goes too.
    if (!(Flags & SUOI_FORCEDELETE)) return 0;
    return platform().removeDriverPackage(InfFileName) ? 1 : 0;
}

long FlashWindow(std::uint32_t hwnd, long bInvert) {
    return Application::current().flashWindow(hwnd, bInvert != 0) ? 1 : 0;
}

namespace {
// Reads subkey `index` into `name`; false when there is none.
bool enumName(HKEY32 hKey, std::int32_t index, std::string& name) {
    std::string buffer(256, '\0');
    if (RegEnumKeyA(hKey, index, buffer.data(), 256) != 0) return false;
    name = buffer.substr(0, buffer.find('\0'));
    return true;
}
}  // namespace

bool Busprobe::GetSubkeyByIndex(HKEY32 hKey, std::int32_t index, std::string& name) {
    return enumName(hKey, index, name);
}

bool Busclean::GetSubkeyByIndex(HKEY32 hKey, std::int32_t index, std::string& name) {
    if (enumName(hKey, index, name)) return true;
    name.clear();
    return false;
}

}  // namespace Module1
