#include "sysaccess/platform/win32/Win32Platform.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

// After the project's headers: windows.h defines macros named like them.
#include <windows.h>
#include <shellapi.h>

#include "sysaccess/platform/win32/SystemLibrary.h"

namespace sysaccess::platform_win32 {

namespace {

[[noreturn]] void raiseFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: raise(err::FileNotFound, "File not found");
        case ERROR_PATH_NOT_FOUND: raise(err::PathNotFound, "Path not found");
        case ERROR_ACCESS_DENIED: raise(err::PathFileAccess, "Path/File access error");
        case ERROR_NOT_READY: raise(err::DeviceUnavailable, "Device unavailable");
        case ERROR_INVALID_NAME: raise(err::BadFileName, "Bad file name or number");
        default: raise(err::PathFileAccess, "Path/File access error");
    }
}

std::string folderOf(const std::string& path) {
    const auto cut = text::lastSeparator(path, ::GetACP());
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Where the last component of a path begins: after its last separator (a
// '\' that is the second byte of a double-byte character is none), or
// after the drive's colon.
std::size_t lastComponentAt(const std::string& path, unsigned codePage) {
    const auto cut = text::lastSeparator(path, codePage);
    if (cut != std::string::npos) return cut + 1;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

// A folder path as the programs expect it: no trailing backslash except at a drive root.
std::string asFolder(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.size() == 2 && path[1] == ':') path += '\\';
    return path;
}

// A file opened for reading, read with ReadFile in the pieces asked for.
class Win32InputFile final : public files::InputFile {
public:
    Win32InputFile(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    ~Win32InputFile() override { ::CloseHandle(file_); }
    Win32InputFile(const Win32InputFile&) = delete;
    Win32InputFile& operator=(const Win32InputFile&) = delete;

    std::uint64_t size() const override { return size_; }

    std::size_t read(char* into, std::size_t capacity) override {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 20));
        DWORD got = 0;
        if (!::ReadFile(file_, into, ask, &got, nullptr)) raiseFor(::GetLastError());
        return got;
    }

    void seek(std::uint64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(std::min<std::uint64_t>(offset, 0x7FFFFFFFFFFFFFFFull));
        if (!::SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) raiseFor(::GetLastError());
    }

private:
    HANDLE file_;
    std::uint64_t size_;
};

}  // namespace

std::string Win32Platform::windowsDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    UINT n = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    return asFolder(std::string(buffer.data(), n));
}

bool Win32Platform::requestRestart(std::uint32_t flags, std::uint32_t reserved) {
    // Where the system has privileges, a restart needs the shutdown privilege.
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES tp{};
        if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) {
            tp.PrivilegeCount = 1;
            tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            ::AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
        }
        ::CloseHandle(token);
    }
    // The caller's reserved value goes to the system as it is: the reason.
    ::ExitWindowsEx(flags, reserved);
    // The system itself closes the windows (end-session messages) as it goes down.
    return false;
}

std::string Win32Platform::findFirstFile(const std::string& pattern) {
    std::vector<std::string> found = findFiles(pattern);
    return found.empty() ? std::string() : std::move(found.front());
}

std::vector<std::string> Win32Platform::findFiles(const std::string& pattern) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD e = ::GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_NO_MORE_FILES) return found;
        raiseFor(e);
    }
    // Normal files only, in case-insensitive name order, so the answer does
    // not depend on the order the file system lists them in.
    const unsigned cp = ::GetACP();
    const std::string wanted = pattern.substr(lastComponentAt(pattern, cp));
    do {
        const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (data.dwFileAttributes & skip) continue;
        const std::string name = data.cFileName;
        // The system also matches short 8.3 aliases; only the real name counts.
        if (!files::matchesPattern(name, wanted, cp)) continue;
        found.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(found.begin(), found.end(),
              [cp](const std::string& a, const std::string& b) { return files::lessIgnoreCase(a, b, cp); });
    return found;
}

void Win32Platform::checkDeletable(const std::string& path) {
    const unsigned cp = ::GetACP();
    if (files::hasWildcard(path.substr(lastComponentAt(path, cp)), cp)) raise(err::FileNotFound, "File not found");
    const DWORD attrs = ::GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) raiseFor(::GetLastError());
    if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) raise(err::PathFileAccess, "Path/File access error");
}

std::string Win32Platform::storedPath(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos) return "";
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (n == 0 || n >= buffer.size()) return "";
    const std::string full(buffer.data(), n);
    if (::GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) return "";
    // Each component as a search of its folder spells it (a short alias
    // gives the long name). A path on no drive letter, or with a folder that
    // cannot be listed, keeps the full form it was given.
    if (full.size() < 3 || full[1] != ':' || full[2] != '\\') return full;
    const char drive = full[0] >= 'a' && full[0] <= 'z' ? static_cast<char>(full[0] - 'a' + 'A') : full[0];
    std::string stored{drive, ':'};
    const unsigned cp = ::GetACP();
    std::string_view rest = std::string_view(full).substr(3);
    while (!rest.empty()) {
        const std::size_t cut = text::firstSeparator(rest, cp);
        const std::string part(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty()) continue;
        WIN32_FIND_DATAA data;
        const HANDLE find = ::FindFirstFileA((stored + '\\' + part).c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return full;
        ::FindClose(find);
        stored += '\\';
        stored += data.cFileName;
    }
    return stored.size() == 2 ? stored + '\\' : stored;
}

void Win32Platform::deleteFile(const std::string& path) {
    checkDeletable(path);
    if (!::DeleteFileA(path.c_str())) raiseFor(::GetLastError());
}

bool Win32Platform::removeDriverPackage(const std::string& infName) {
    // Looked up at run time: a system without the call still gets its files
    // deleted by the caller.
    using UninstallOemInf = BOOL(WINAPI*)(PCSTR, DWORD, PVOID);
    constexpr DWORD ForceDelete = 0x00000001;  // SUOI_FORCEDELETE: even while a device uses it
    const SystemLibrary setupapi("setupapi.dll");
    const auto uninstall = setupapi.function<UninstallOemInf>("SetupUninstallOEMInfA");
    return uninstall && uninstall(infName.c_str(), ForceDelete, nullptr);
}

std::unique_ptr<files::InputFile> Win32Platform::openInput(const std::string& path) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) raiseFor(::GetLastError());
    // Devices and pipes are no files to read.
    LARGE_INTEGER size;
    if (::GetFileType(f) != FILE_TYPE_DISK || !::GetFileSizeEx(f, &size)) {
        ::CloseHandle(f);
        raise(err::PathFileAccess, "Path/File access error");
    }
    return std::make_unique<Win32InputFile>(f, static_cast<std::uint64_t>(size.QuadPart));
}

std::string Win32Platform::readFile(const std::string& path) {
    const std::unique_ptr<files::InputFile> file = openInput(path);
    std::string bytes;
    std::vector<char> chunk(65536);
    while (const std::size_t n = file->read(chunk.data(), chunk.size())) bytes.append(chunk.data(), n);
    return bytes;
}

void Win32Platform::writeFile(const std::string& path, const std::string& bytes) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) raiseFor(::GetLastError());
    DWORD written = 0;
    const bool ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    const DWORD e = ::GetLastError();
    ::CloseHandle(f);
    if (!ok) raiseFor(e);
}

std::string Win32Platform::programFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) raiseFor(::GetLastError());
        if (n < buffer.size()) return asFolder(folderOf(std::string(buffer.data(), n)));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Platform::currentDirectory() {
    const DWORD n = ::GetCurrentDirectoryA(0, nullptr);
    std::string dir(n, '\0');
    const DWORD got = ::GetCurrentDirectoryA(n, dir.data());
    dir.resize(got);
    return asFolder(dir);
}

void Win32Platform::startProgram(const std::string& path, int windowStyle) {
    const DWORD attrs = ::GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) raiseFor(::GetLastError());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + path + "\"";
    if (!::CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        raise(err::CannotStart, "Invalid procedure call or argument");
    }
    // Started on its own: nothing here waits for it.
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

void Win32Platform::openShortcut(const std::string& content) {
    // The shell opens Internet shortcuts by file: the stored content goes
    // into a temporary ".url" file for it.
    char folder[MAX_PATH + 1];
    if (!::GetTempPathA(sizeof folder, folder)) raiseFor(::GetLastError());
    const std::string file = std::string(folder) + "lnk" + std::to_string(::GetCurrentProcessId()) + ".url";
    writeFile(file, content);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) raise(err::CannotStart, "Invalid procedure call or argument");
}

unsigned Win32Platform::ansiCodePage() { return ::GetACP(); }

}  // namespace sysaccess::platform_win32
