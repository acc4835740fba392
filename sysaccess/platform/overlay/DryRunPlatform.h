#pragma once
// A machine that is read but never changed: every call that would change the
// machine underneath is written down instead, and what it would have taken
// away is hidden from the calls that follow, so a program run over it sees
// the machine as its earlier steps would have left it.
//
// - Registry deletions are recorded and hide the key (and what lies below
//   it) from RegOpenKeyA, RegEnumKeyA and further deletions. A key with
//   subkeys is refused as the machine's layout refuses it (deletesSubtrees
//   false: the NT layout); where the layout deletes a key with everything
//   below it, each key that goes with it is recorded too, after it. The
//   machine is asked what its own deletion would answer or raise
//   (checkKeyDeletable, checkKeyWriteBack): keys it keeps, a registry it
//   cannot use or write back.
// - File deletions are recorded by the path the machine resolves (its
//   storedPath: one file, one path, whatever spelling reached it) and hide
//   the file from findFirstFile, findFiles, openInput, readFile and further
//   deletions under every spelling. A deletion raises what the machine's
//   own would raise (checkDeletable: missing, read-only, a folder); like
//   the machine's, it does not ask whether a search would list the file.
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
#include "sysaccess/platform/overlay/Change.h"

namespace sysaccess::overlay {

class DryRunPlatform : public Platform {
public:
    using Change = overlay::Change;

    DryRunPlatform(Platform& inner, bool deletesSubtrees);

    // Every change, in the order the program asked for it.
    const std::vector<Change>& changes() const { return changes_; }
    // Labels each change with the program's current step when set.
    std::function<std::string()> step;
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
    void checkDeletable(const std::string& path) override;
    std::string storedPath(const std::string& path) override;
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
    void record(Change::Kind kind, const std::string& what, const std::string& takenWith = {});
    // Records each visible key below the open inner key `innerHandle` (whose
    // path is `key`) as taken along with the deleted key `top`, depth first
    // in the machine's subkey order.
    void recordSubtree(HKEY32 innerHandle, const OpenKey& key, const std::string& top);
    // The key behind a handle; nullptr for a handle this platform did not open.
    const OpenKey* keyOf(HKEY32 handle) const;
    OpenKey below(const OpenKey& base, const std::string& subKey) const;
    bool keyHidden(const std::string& folded) const;
    bool hasVisibleSubkey(HKEY32 innerHandle, const std::string& folded);
    // True when the file `path` names was deleted here, by any spelling.
    bool fileDeleted(const std::string& path);

    Platform& inner_;
    bool deletesSubtrees_;
    std::vector<Change> changes_;
    std::map<HKEY32, OpenKey> keys_;
    std::set<std::string> deletedKeys_;   // folded paths
    std::set<std::string> deletedFiles_;  // the machine's stored paths
    std::map<std::string, std::string> written_;  // folded path -> bytes
    std::map<std::string, std::function<std::unique_ptr<files::InputFile>()>> substitutes_;
};

}  // namespace sysaccess::overlay
