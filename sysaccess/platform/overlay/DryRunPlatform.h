#pragma once
// A machine that is read but never changed: every call that would change the
// machine underneath is written down instead, and what it would have taken
// away is hidden from the calls that follow, so a program run over it sees
// the machine as its earlier steps would have left it.
//
// - Registry deletions are recorded and hide the key (and what lies below
//   it) from RegOpenKeyA, RegEnumKeyA and further deletions. A key with
//   subkeys is refused as the machine's layout refuses it (deletesSubtrees
//   false: the NT layout).
// - File deletions are recorded and hide the file from findFirstFile,
//   findFiles, openInput and readFile; a file that is not there raises the
//   machine's "File not found", one the machine would refuse to delete
//   (read-only) the machine's own error.
// - Written files are kept in memory and read back from there.
// - Restart requests and program and shortcut starts are recorded and never
//   carried out; driver packages are never removed (the caller deletes the
//   files, and those deletions are recorded).
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sysaccess/platform/Platform.h"

namespace sysaccess::overlay {

class DryRunPlatform : public Platform {
public:
    struct Change {
        enum class Kind { DeleteKey, DeleteFile, WriteFile, Restart, StartProgram, OpenShortcut };
        Kind kind;
        std::string what;  // key path below HKEY_LOCAL_MACHINE, Windows path, program, shortcut content
        std::string step;  // what the program was doing, from the step hook
    };

    DryRunPlatform(Platform& inner, bool deletesSubtrees);

    // Every change, in the order the program asked for it.
    const std::vector<Change>& changes() const { return changes_; }
    // Labels each change with the program's current step when set.
    std::function<std::string()> step;
    // Keys the machine refuses to delete (full paths, any letter case).
    std::function<bool(const std::string& keyPath)> readOnlyKey;
    // Serves reads of `path` (any letter case) from `hostReader` instead of
    // the machine: a file put in place without being written onto it.
    void substitute(const std::string& path, std::function<std::unique_ptr<files::InputFile>()> hostReader);
    // The program folder the program is told about, when not empty.
    std::string programFolderShown;

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) override;
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) override;
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey) override;
    long RegCloseKey(HKEY32 key) override;
    std::string windowsDirectory() override { return inner_.windowsDirectory(); }
    bool requestRestart(std::uint32_t flags, std::uint32_t reserved) override;
    std::string findFirstFile(const std::string& pattern) override;
    std::vector<std::string> findFiles(const std::string& pattern) override;
    void deleteFile(const std::string& path) override;
    void checkDeletable(const std::string& path) override { inner_.checkDeletable(path); }
    std::string readFile(const std::string& path) override;
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    bool removeDriverPackage(const std::string&) override { return false; }
    std::string programFolder() override { return programFolderShown.empty() ? inner_.programFolder() : programFolderShown; }
    std::string currentDirectory() override { return inner_.currentDirectory(); }
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override { return inner_.ansiCodePage(); }

private:
    struct OpenKey {
        std::string path;     // as the program spelled it
        std::string folded;   // components in upper case, joined by '\'
    };
    void record(Change::Kind kind, const std::string& what);
    // The key behind a handle; nullptr for a handle this platform did not open.
    const OpenKey* keyOf(HKEY32 handle) const;
    OpenKey below(const OpenKey& base, const std::string& subKey) const;
    bool keyHidden(const std::string& folded) const;
    bool hasVisibleSubkey(HKEY32 innerHandle, const std::string& folded);
    std::string foldPath(const std::string& path) const;
    bool fileHidden(const std::string& path) const { return deletedFiles_.count(foldPath(path)) != 0; }

    Platform& inner_;
    bool deletesSubtrees_;
    std::vector<Change> changes_;
    std::map<HKEY32, OpenKey> keys_;
    std::set<std::string> deletedKeys_;   // folded paths
    std::set<std::string> deletedFiles_;  // folded Windows paths
    std::map<std::string, std::string> written_;  // folded path -> bytes
    std::map<std::string, std::function<std::unique_ptr<files::InputFile>()>> substitutes_;
};

}  // namespace sysaccess::overlay
