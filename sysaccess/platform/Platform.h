#pragma once
// The machine the programs run on: registry, Windows folder, files, programs,
// restart. One platform object is installed per process (see PlatformGuard);
// Module1 and the toolkit's file services forward to it. Window and time
// services (Sleep, FlashWindow, message boxes) belong to the display driver.
//
// Paths are Windows paths in the machine's 8-bit code page. A path without a
// drive ("Brand.bmp") is relative to the current directory.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/files/InputFile.h"

namespace sysaccess {

using HKEY32 = std::uint32_t;
inline constexpr HKEY32 HKEY_LOCAL_MACHINE = 0x80000002u;

// Win32 status codes the registry operations return.
namespace status {
inline constexpr long Success = 0;
inline constexpr long FileNotFound = 2;
inline constexpr long AccessDenied = 5;
inline constexpr long InvalidHandle = 6;
inline constexpr long InvalidParameter = 87;
inline constexpr long MoreData = 234;
inline constexpr long NoMoreItems = 259;
inline constexpr long WriteFault = 29;
}  // namespace status

class Platform {
public:
    virtual ~Platform() = default;

    // Registry, with the Win32 contracts: a failed open writes 0 into
    // *result; handle 0 and unknown handles fail; a negative index fails.
    virtual long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) = 0;
    virtual long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) = 0;
    virtual long RegDeleteKeyA(HKEY32 key, const std::string& subKey) = 0;
    virtual long RegCloseKey(HKEY32 key) = 0;
    // For a deletion that is only pretended: what RegDeleteKeyA would answer
    // for the key before it looks at the key's subkeys, deleting nothing. It
    // raises where the deletion would raise whatever the key (a registry it
    // cannot use), and answers a missing key, a bad handle or name, and a key
    // the machine keeps whatever lies below it, as the deletion would. This
    // base version finds nothing in the way.
    virtual long checkKeyDeletable(HKEY32 key, const std::string& subKey) {
        (void)key, (void)subKey;
        return status::Success;
    }
    // Raises what a deletion about to be written back would raise before it
    // writes (a registry in use by another program). This base version never
    // raises.
    virtual void checkKeyWriteBack() {}

    // The Windows folder, without a trailing backslash ("C:\windows").
    virtual std::string windowsDirectory() = 0;

    // Asks the system to restart (ExitWindowsEx flags, and the reserved value
    // the caller passes, which the system takes as the reason). Returns true
    // when the system is going down and the program's windows are to be
    // closed as a shutting-down system closes them.
    virtual bool requestRestart(std::uint32_t flags, std::uint32_t reserved) = 0;

    // Bare name, in its stored spelling, of the first normal file (not hidden,
    // not system, not a folder) matching the last component of `pattern`
    // ("*" and "?" wildcards) in case-insensitive name order; "" when none.
    // Each call starts over.
    virtual std::string findFirstFile(const std::string& pattern) = 0;
    // Every file findFirstFile could answer with, in its order: the first is
    // its answer, the next the one it gives once the first is gone. This
    // base version knows only the first.
    virtual std::vector<std::string> findFiles(const std::string& pattern);
    // Deletes a file; missing, read-only, busy or folder entries raise a
    // RuntimeError.
    virtual void deleteFile(const std::string& path) = 0;
    // Raises what deleteFile would raise for this file before deleting it (a
    // missing, read-only or refused file), deleting nothing. This base
    // version finds no fault.
    virtual void checkDeletable(const std::string& path) { (void)path; }
    // The full Windows path of the file or folder `path` names, as the
    // machine spells it: "." and ".." taken out, the folders it lies in
    // with their stored names (and links followed), its own name as
    // stored. Every spelling of one file gives the same answer, and two
    // files never share one. Empty when the path names nothing. This base
    // version answers the path as given where a search finds a normal file
    // by it (no wildcards).
    virtual std::string storedPath(const std::string& path);
    // Whole content of a file; a missing file raises a RuntimeError.
    virtual std::string readFile(const std::string& path) = 0;
    // Opens a file for reading in pieces from its start, with the same
    // failures as readFile; the file is read only as far as asked.
    virtual std::unique_ptr<files::InputFile> openInput(const std::string& path) = 0;
    // Creates or overwrites a file with exactly these bytes.
    virtual void writeFile(const std::string& path, const std::string& bytes) = 0;
    // Takes the driver package of the setup-information file `infName` (a
    // bare name in the Windows folder's "inf" folder) off the machine the
    // way the system removes one: its ".inf" and ".pnf" files go, and so
    // does its copy in the driver store. False when the machine has no such
    // service or it failed; the caller then deletes the files itself.
    virtual bool removeDriverPackage(const std::string& infName) = 0;

    // Folder of the running program and the current directory, as Windows
    // paths; a drive root keeps its backslash ("A:\").
    virtual std::string programFolder() = 0;
    virtual std::string currentDirectory() = 0;

    // Starts a program detached, without waiting. Failure raises.
    virtual void startProgram(const std::string& path, int windowStyle) = 0;
    // Opens stored shortcut-file content with the desktop's handler.
    virtual void openShortcut(const std::string& content) = 0;

    // The machine's ANSI code page (1252, 950, ...): what the bytes of texts
    // and paths stand for.
    virtual unsigned ansiCodePage() = 0;
};

// The installed platform; raises a RuntimeError when none is installed.
Platform& platform();
bool hasPlatform();

// Installs a platform for its own lifetime and restores the previous one.
class PlatformGuard {
public:
    explicit PlatformGuard(Platform& p);
    ~PlatformGuard();
    PlatformGuard(const PlatformGuard&) = delete;
    PlatformGuard& operator=(const PlatformGuard&) = delete;

private:
    Platform* previous_;
};

}  // namespace sysaccess
