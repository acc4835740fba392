#include "sysaccess/platform/win32/Wow64.h"

#include <vector>

#include "sysaccess/Host.h"

#include <windows.h>

namespace sysaccess::platform_win32 {

namespace {

// The WOW64 calls are looked up at run time: IsWow64Process came with XP SP2
// (and 2000 SP4), the redirection calls with Server 2003 and XP x64, and a
// 32-bit XP without them has no WOW64 either.
template <typename Fn>
Fn kernel32Function(const char* name) {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel, name))) : nullptr;
}

// The running program's path; empty when it cannot be had.
std::wstring programPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);  // cut short (XP says so only by filling the buffer)
    }
}

// The twin: AMD64\ beside the program, the same file name; empty when there is
// no such file.
std::wstring twinPath() {
    const std::wstring self = programPath();
    const auto slash = self.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    const std::wstring twin = self.substr(0, slash + 1) + L"AMD64\\" + self.substr(slash + 1);
    const DWORD attributes = ::GetFileAttributesW(twin.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return twin;
}

// The command line after the program's name, where the runtime takes the
// arguments from: the name ends at the first space or tab outside double
// quotes. It goes to the twin as it is, the blank before the first argument
// included, behind the twin's quoted path, so the twin's runtime reads the
// same arguments.
const wchar_t* argumentsOf(const wchar_t* line) {
    bool quoted = false;
    for (; *line; ++line) {
        if (*line == L'"') {
            quoted = !quoted;
        } else if (!quoted && (*line == L' ' || *line == L'\t')) {
            break;
        }
    }
    return line;
}

// Copies of this process's standard handles that the twin inherits: a handle
// this process was given need not be inheritable itself. Closed again once the
// twin has its own.
class InheritedHandles {
public:
    ~InheritedHandles() {
        for (HANDLE h : copies_) ::CloseHandle(h);
    }
    HANDLE copy(DWORD which) {
        const HANDLE h = ::GetStdHandle(which);
        HANDLE inheritable = nullptr;
        if (h == nullptr || h == INVALID_HANDLE_VALUE ||
            !::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &inheritable, 0, TRUE,
                               DUPLICATE_SAME_ACCESS)) {
            return h;  // none, or passed on as it is
        }
        copies_.push_back(inheritable);
        return inheritable;
    }

private:
    std::vector<HANDLE> copies_;
};

}  // namespace

bool underWow64() {
    if constexpr (sizeof(void*) == 8) return false;
    static const bool wow64 = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        const auto isWow64 = kernel32Function<IsWow64ProcessFn>("IsWow64Process");
        BOOL result = FALSE;
        return isWow64 && isWow64(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

std::optional<unsigned long> runTwin() {
    if (!underWow64()) return std::nullopt;
    const std::wstring twin = twinPath();
    if (twin.empty()) return std::nullopt;
    std::wstring command = L"\"" + twin + L"\"" + argumentsOf(::GetCommandLineW());

    STARTUPINFOW mine{};
    mine.cb = sizeof mine;
    ::GetStartupInfoW(&mine);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES | (mine.dwFlags & STARTF_USESHOWWINDOW);
    start.wShowWindow = mine.wShowWindow;  // as this program was asked to show
    InheritedHandles handles;
    start.hStdInput = handles.copy(STD_INPUT_HANDLE);
    start.hStdOutput = handles.copy(STD_OUTPUT_HANDLE);
    start.hStdError = handles.copy(STD_ERROR_HANDLE);
    // The current directory and the console (if any) are this process's.
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(twin.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &child)) {
        return std::nullopt;
    }
    ::CloseHandle(child.hThread);
    // Ctrl+C in a shared console reaches both: this process stays to hand
    // back the twin's exit code (set after the start, so the twin does not
    // inherit it).
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 1;
    if (!::GetExitCodeProcess(child.hProcess, &code)) code = 1;
    ::CloseHandle(child.hProcess);
    return code;
}

NativeFileSystem::NativeFileSystem() {
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    static const auto disable = kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection");
    if (underWow64() && disable) off_ = disable(&previous_) != FALSE;
}

NativeFileSystem::~NativeFileSystem() {
    using RevertFn = BOOL(WINAPI*)(PVOID);
    static const auto revert = kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection");
    if (off_ && revert) revert(previous_);
}

}  // namespace sysaccess::platform_win32

namespace sysaccess {

std::optional<int> handOverTo64BitTwin() {
    const auto code = platform_win32::runTwin();
    if (!code) return std::nullopt;
    return static_cast<int>(*code);
}

}  // namespace sysaccess
