// BuscleanRefused: the remover as it runs on Windows, where the device tree
// belongs to the system, for the tests under Wine. Wine lets an
// administrator delete any key of SYSTEM\CurrentControlSet\Enum; Windows
// refuses (ERROR_ACCESS_DENIED) and leaves the device's keys to the PnP
// manager. Here the win32 platform refuses as Windows does, and everything
// else is the real program on the real platform: the remover's window, the
// system's message boxes, advapi32's registry and SetupAPI's device removal.
//
// Each refusal is written to standard error with the key's name as the
// system knows it.
#include <cstdio>
#include <string>
#include <vector>

#include "remover/Busclean.h"
#include "sysaccess/drivers/win32/Win32Driver.h"
#include "sysaccess/platform/win32/Win32Platform.h"

#include <windows.h>

namespace {

// The full name of an open key ("\REGISTRY\MACHINE\System\..."), through
// ntdll's NtQueryKey with KeyNameInformation; empty when not known.
std::wstring nameOf(HKEY key) {
    using QueryKey = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int KeyNameInformation = 3;
    static const auto query = reinterpret_cast<QueryKey>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    if (!query) return {};
    std::vector<ULONG> buffer(1024);  // ULONG NameLength, then the name
    ULONG size = 0;
    const ULONG capacity = static_cast<ULONG>(buffer.size() * sizeof(ULONG));
    if (query(key, KeyNameInformation, buffer.data(), capacity, &size) != 0) return {};
    const auto* name = reinterpret_cast<const wchar_t*>(buffer.data() + 1);
    return std::wstring(name, buffer[0] / sizeof(wchar_t));
}

bool sameName(const std::wstring& a, const wchar_t* b) { return ::lstrcmpiW(a.c_str(), b) == 0; }

// A key below HKEY_LOCAL_MACHINE\SYSTEM\<control set>\Enum, the tree's own
// key excepted. The system names the current control set by its link
// ("CurrentControlSet") or by its target ("ControlSet001").
bool inDeviceTree(const std::wstring& fullName) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = fullName.find(L'\\', start);
        parts.push_back(fullName.substr(start, cut - start));
        if (cut == std::wstring::npos) break;
        start = cut + 1;
    }
    // "", REGISTRY, MACHINE, SYSTEM, control set, Enum, enumerator...
    if (parts.size() < 7 || !parts[0].empty()) return false;
    const bool controlSet = sameName(parts[4], L"CurrentControlSet") ||
                            (parts[4].size() == 13 && sameName(parts[4].substr(0, 10), L"ControlSet"));
    return sameName(parts[1], L"REGISTRY") && sameName(parts[2], L"MACHINE") && sameName(parts[3], L"SYSTEM") &&
           controlSet && sameName(parts[5], L"Enum");
}

class RefusingPlatform : public sysaccess::platform_win32::Win32Platform {
protected:
    long deleteNativeKey(void* parent, const std::string& subKey) override {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(static_cast<HKEY>(parent), subKey.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
            const std::wstring name = nameOf(key);
            ::RegCloseKey(key);
            if (inDeviceTree(name)) {
                std::fprintf(stderr, "deletion refused: %ls\n", name.c_str());
                std::fflush(stderr);
                return ERROR_ACCESS_DENIED;
            }
        }
        return Win32Platform::deleteNativeKey(parent, subKey);
    }
};

}  // namespace

// As the remover's own start on Windows (sysaccess/platform/win32/Host.cpp),
// with the refusing platform.
int main() {
    RefusingPlatform machine;
    sysaccess::PlatformGuard installed(machine);
    sysaccess::drivers::Win32Driver display(::GetModuleHandleW(nullptr));
    return busclean::run(display);
}
