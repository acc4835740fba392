// RunLimited: runs a command the way User Account Control runs an
// administrator's program that has not been elevated: with the caller's
// token, its Administrators group kept for denying access only. Waits for
// the command and ends with its exit code; the command gets this program's
// standard handles and current directory.
//
//   RunLimited <program> [arguments...]   (the command line after the name, unchanged)
//
// Exit status 1 with a message when the command could not be started.
#include <cstdio>
#include <string>

#include <windows.h>

namespace {

// The command line after this program's name, which the runtime ends at the
// first blank outside double quotes.
std::wstring commandAfterName() {
    const wchar_t* p = ::GetCommandLineW();
    for (bool quoted = false; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
        if (*p == L'"') quoted = !quoted;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

// An inheritable copy of a standard handle, for the command's STARTUPINFO.
HANDLE inheritable(DWORD which) {
    HANDLE copy = nullptr;
    const HANDLE h = ::GetStdHandle(which);
    if (!h || h == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}

}  // namespace

int main() {
    std::wstring command = commandAfterName();
    if (command.empty()) {
        std::fprintf(stderr, "usage: RunLimited <program> [arguments...]\n");
        return 1;
    }
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    HANDLE token = nullptr, limited = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators) ||
        !::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &token)) {
        std::fprintf(stderr, "RunLimited: no token (error %lu)\n", ::GetLastError());
        return 1;
    }
    SID_AND_ATTRIBUTES denyOnly{administrators, 0};
    if (!::CreateRestrictedToken(token, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &limited)) {
        std::fprintf(stderr, "RunLimited: no restricted token (error %lu)\n", ::GetLastError());
        return 1;
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = inheritable(STD_INPUT_HANDLE);
    start.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    start.hStdError = inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessAsUserW(limited, nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                                &process)) {
        std::fprintf(stderr, "RunLimited: cannot start the command (error %lu)\n", ::GetLastError());
        return 1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
