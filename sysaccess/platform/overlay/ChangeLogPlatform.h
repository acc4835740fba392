#pragma once
// A machine that is changed for real, with a log of the changes it made.
// Every call goes to the machine underneath and comes back as the machine
// answered it, failures and run-time errors alike; what the machine did is
// written down in the form the dry run (DryRunPlatform) uses for what it
// would do, so a removal can be reported as its preview was:
//
// - a key deletion the machine carried out, by the path the program named;
//   where the layout deletes a key with everything below it, each key that
//   went with it is recorded after it, marked with the key that took it
//   (the keys below are read before the deletion); on the NT layout a key
//   of the device tree may take more with it where the machine had the Plug
//   and Play manager remove its device instance (Win32Platform): the keys of
//   its device and enumerator are read before, and those gone after are
//   recorded the same way;
// - a file deletion the machine carried out, by the path the machine stores
//   the file under; a file the program wrote itself and deleted again (the
//   remover's shortcut file) is a write that left nothing behind and is not
//   a deletion;
// - a driver package the machine removed: its ".inf" and ".pnf" files that
//   went with it;
// - written files, restart requests, program and shortcut starts, once the
//   machine took them.
//
// Only reads are added to what the program asks: the stored path of a file
// before it goes, the keys below a key before it goes.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sysaccess/platform/Platform.h"
#include "sysaccess/platform/overlay/Change.h"

namespace sysaccess::overlay {

class ChangeLogPlatform : public Platform {
public:
    ChangeLogPlatform(Platform& machine, bool deletesSubtrees);

    // Every change the machine made, in order.
    const std::vector<Change>& changes() const { return changes_; }
    // Labels each change with the program's current step when set.
    std::function<std::string()> step;
    // Serves reads of `path` (any letter case) from `hostReader` instead of
    // the machine, as DryRunPlatform::substitute does.
    void substitute(const std::string& path, std::function<std::unique_ptr<files::InputFile>()> hostReader);
    // The program folder the program is told about, when not empty.
    std::string programFolderShown;

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) override;
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) override {
        return machine_.RegEnumKeyA(key, index, name, capacity);
    }
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey) override;
    long RegCloseKey(HKEY32 key) override;
    long checkKeyDeletable(HKEY32 key, const std::string& subKey) override {
        return machine_.checkKeyDeletable(key, subKey);
    }
    void checkKeyWriteBack() override { machine_.checkKeyWriteBack(); }
    std::string windowsDirectory() override { return machine_.windowsDirectory(); }
    bool requestRestart(std::uint32_t flags, std::uint32_t reserved) override;
    std::string findFirstFile(const std::string& pattern) override { return machine_.findFirstFile(pattern); }
    std::vector<std::string> findFiles(const std::string& pattern) override { return machine_.findFiles(pattern); }
    void deleteFile(const std::string& path) override;
    void checkDeletable(const std::string& path) override { machine_.checkDeletable(path); }
    std::string storedPath(const std::string& path) override { return machine_.storedPath(path); }
    std::string readFile(const std::string& path) override { return machine_.readFile(path); }
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    bool removeDriverPackage(const std::string& infName) override;
    std::string programFolder() override {
        return programFolderShown.empty() ? machine_.programFolder() : programFolderShown;
    }
    std::string currentDirectory() override { return machine_.currentDirectory(); }
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override { return machine_.ansiCodePage(); }

private:
    void record(Change::Kind kind, const std::string& what, const std::string& takenWith = {});
    // The path of `subKey` below the key behind `key`; empty when the
    // handle was not opened here.
    std::string pathBelow(HKEY32 key, const std::string& subKey) const;
    // The keys below `subKey` of `key` as the machine lists them now, depth
    // first, by path below `path` (the key's own).
    std::vector<std::string> keysBelow(HKEY32 key, const std::string& subKey, const std::string& path);
    // On the NT layout: the keys a deletion of `path` may take with it,
    // where it lies at or below a device instance: those below its device
    // key, the device key and the enumerator key, deepest first.
    std::vector<std::string> keysThatMayGoWith(const std::string& path);
    bool exists(const std::string& path);

    Platform& machine_;
    bool deletesSubtrees_;
    std::vector<Change> changes_;
    std::map<HKEY32, std::string> keys_;          // handle -> path as the program spelled it
    std::set<std::string> written_;               // folded paths of files written here
    std::map<std::string, std::function<std::unique_ptr<files::InputFile>()>> substitutes_;
};

}  // namespace sysaccess::overlay
