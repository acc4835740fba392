// The running Windows system, through the programs' own platform. Its
// registry has the NT layout: a key with subkeys cannot be deleted.
#include "sysaccess/platform/win32/Win32Platform.h"
#include "sysaccess/platform/win32/Wow64.h"
#include "viewer/Machine.h"

// After the platform's headers, whose names the system's macros would take.
#include <windows.h>

namespace busview {

namespace {

using sysaccess::platform_win32::NativeFileSystem;

// The platform with the native system's files: a 32-bit Busview on 64-bit
// Windows without its 64-bit twin previews what the 64-bit remover would
// find (system32, not SysWOW64). The registry keys it reads are under
// SYSTEM, which both views share.
class NativeFilesPlatform : public sysaccess::platform_win32::Win32Platform {
public:
    std::string findFirstFile(const std::string& pattern) override {
        NativeFileSystem native;
        return Win32Platform::findFirstFile(pattern);
    }
    std::vector<std::string> findFiles(const std::string& pattern) override {
        NativeFileSystem native;
        return Win32Platform::findFiles(pattern);
    }
    void deleteFile(const std::string& path) override {
        NativeFileSystem native;
        Win32Platform::deleteFile(path);
    }
    void checkDeletable(const std::string& path) override {
        NativeFileSystem native;
        Win32Platform::checkDeletable(path);
    }
    std::string storedPath(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::storedPath(path);
    }
    std::string readFile(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::readFile(path);
    }
    std::unique_ptr<sysaccess::files::InputFile> openInput(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::openInput(path);
    }
    void writeFile(const std::string& path, const std::string& bytes) override {
        NativeFileSystem native;
        Win32Platform::writeFile(path, bytes);
    }
};

// The token's elevation where the system knows it (Vista on; XP answers
// the request as an unknown class): TokenElevationTypeLimited is an
// administrator's token that User Account Control filtered.
bool limitedByUac() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    const bool known = ::GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) != 0;
    ::CloseHandle(token);
    return known && type == TokenElevationTypeLimited;
}

// Whether the process's token holds the Administrators group enabled: an
// administrator on XP, and on later Windows an elevated one (a token that
// User Account Control filtered holds the group for denying only).
bool administrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    const bool asked = ::CheckTokenMembership(nullptr, administrators, &member) != 0;
    ::FreeSid(administrators);
    return asked && member;
}

class WindowsMachine : public Machine {
public:
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override { return false; }

    // The remover window asks for an administrator in its manifest; Busview
    // runs with the caller's rights, so that anyone may preview, and checks
    // them itself before it removes.
    std::string refusesRemoval() override {
        if (sysaccess::platform_win32::underWow64()) {
            return "This copy of Busview is for 32-bit Windows, and this Windows is 64-bit: run the 64-bit "
                   "Busview from the AMD64 folder of the driver disk to remove the driver. Nothing was removed.";
        }
        if (administrator()) return {};
        if (limitedByUac()) {
            return "Removing the driver needs an administrator's rights, and User Account Control runs this "
                   "process without them: run Busview from an elevated command prompt (Run as administrator) "
                   "or from a deployment tool that runs as the system. Nothing was removed.";
        }
        return "Removing the driver needs an administrator's rights, and this account has none: run Busview as "
               "an administrator or from a deployment tool that runs as the system. Nothing was removed.";
    }

private:
    NativeFilesPlatform platform_;
};

}  // namespace

std::unique_ptr<Machine> openThisMachine(MachineUse) { return std::make_unique<WindowsMachine>(); }

}  // namespace busview
