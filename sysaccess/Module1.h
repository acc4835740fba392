#pragma once
// The operating-system operations the programs call, under their Win32
// names and in the argument shapes the programs use, plus the registry
// routine GetSubkeyByIndex. Registry and restart go to the installed
// platform; pause and title-bar flash to the running application's display.
#include <cstdint>
#include <string>

#include "sysaccess/platform/Platform.h"

namespace Module1 {

using sysaccess::HKEY32;
using sysaccess::HKEY_LOCAL_MACHINE;

inline constexpr std::uint32_t EWX_REBOOT = 2;
inline constexpr std::uint32_t SUOI_FORCEDELETE = 1;

long RegOpenKeyA(HKEY32 hKey, const std::string& lpSubKey, HKEY32& phkResult);
long RegEnumKeyA(HKEY32 hKey, std::int32_t dwIndex, char* lpName, std::uint32_t cbName);
long RegDeleteKeyA(HKEY32 hKey, const std::string& lpSubKey);
long RegCloseKey(HKEY32 hKey);

// Copies the Windows folder and its NUL into the buffer and returns its
// length; when the buffer is too small, writes nothing and returns the size
// needed (NUL included).
std::uint32_t GetWindowsDirectoryA(char* lpBuffer, std::uint32_t uSize);

void Sleep(std::uint32_t dwMilliseconds);
long ExitWindowsEx(std::uint32_t uFlags, std::uint32_t dwReserved);
long FlashWindow(std::uint32_t hwnd, long bInvert);

// Removes the driver package of an oem setup-information file named by its
// bare name in the inf folder (its ".inf", its ".pnf" and its copy in the
// driver store); the programs pass SUOI_FORCEDELETE. Non-zero when the
// machine did it, 0 when it has no such service or the removal failed.
long SetupUninstallOEMInfA(const std::string& InfFileName, std::uint32_t Flags);

// Each program has its own copy of GetSubkeyByIndex: the name of subkey
// `index` of `hKey` into `name`; true on success.
namespace Busprobe {
// On failure the name is left as it was.
bool GetSubkeyByIndex(HKEY32 hKey, std::int32_t index, std::string& name);
}
namespace Busclean {
// On failure the name becomes empty.
bool GetSubkeyByIndex(HKEY32 hKey, std::int32_t index, std::string& name);
}

}  // namespace Module1
