#include "sysaccess/platform/overlay/ChangeLogPlatform.h"

#include <algorithm>
#include <functional>

#include "sysaccess/platform/KeyPath.h"
#include "sysaccess/platform/overlay/KeyPaths.h"

namespace sysaccess::overlay {

ChangeLogPlatform::ChangeLogPlatform(Platform& machine, bool deletesSubtrees)
    : machine_(machine), deletesSubtrees_(deletesSubtrees) {}

void ChangeLogPlatform::record(Change::Kind kind, const std::string& what, const std::string& takenWith) {
    changes_.push_back({kind, what, step ? step() : std::string(), takenWith});
}

void ChangeLogPlatform::substitute(const std::string& path,
                                   std::function<std::unique_ptr<files::InputFile>()> hostReader) {
    substitutes_[foldPath(path)] = std::move(hostReader);
}

// --- registry ----------------------------------------------------------------

std::string ChangeLogPlatform::pathBelow(HKEY32 key, const std::string& subKey) const {
    std::string path;
    if (key != HKEY_LOCAL_MACHINE) {
        const auto it = keys_.find(key);
        if (it == keys_.end()) return {};
        path = it->second;
    }
    for (const std::string& part : keyComponents(subKey)) path = joinKey(path, part);
    return path;
}

long ChangeLogPlatform::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    const long s = machine_.RegOpenKeyA(key, subKey, result);
    if (s == status::Success && result && *result != HKEY_LOCAL_MACHINE) {
        const std::string path = pathBelow(key, subKey);
        if (key == HKEY_LOCAL_MACHINE || !path.empty()) keys_[*result] = path;
    }
    return s;
}

long ChangeLogPlatform::RegCloseKey(HKEY32 key) {
    keys_.erase(key);
    return machine_.RegCloseKey(key);
}

std::vector<std::string> ChangeLogPlatform::keysBelow(HKEY32 key, const std::string& subKey, const std::string& path) {
    std::vector<std::string> found;
    HKEY32 top = 0;
    if (machine_.RegOpenKeyA(key, subKey, &top) != status::Success) return found;
    std::function<void(HKEY32, const std::string&)> walk = [&](HKEY32 handle, const std::string& at) {
        std::string name(NameRoom, '\0');
        for (std::int32_t i = 0; machine_.RegEnumKeyA(handle, i, name.data(), NameRoom) == status::Success; ++i) {
            const std::string child(name.c_str());
            const std::string childPath = joinKey(at, child);  // not a reference into `found`, which grows
            found.push_back(childPath);
            HKEY32 below = 0;
            if (machine_.RegOpenKeyA(handle, child, &below) != status::Success) continue;
            walk(below, childPath);
            machine_.RegCloseKey(below);
        }
    };
    walk(top, path);
    machine_.RegCloseKey(top);
    return found;
}

std::vector<std::string> ChangeLogPlatform::keysThatMayGoWith(const std::string& path) {
    if (deviceInstanceOf(path, machine_.ansiCodePage()).empty()) return {};
    // SYSTEM\CurrentControlSet\Enum\<enumerator>\<device>\<instance>...
    const std::vector<std::string> parts = keyComponents(path);
    if (parts.size() < 6) return {};
    std::string enumerator;
    for (std::size_t i = 0; i < 4; ++i) enumerator = joinKey(enumerator, parts[i]);
    const std::string device = joinKey(enumerator, parts[4]);
    std::vector<std::string> keys = keysBelow(HKEY_LOCAL_MACHINE, device, device);
    std::reverse(keys.begin(), keys.end());  // a key's subkeys before it
    keys.push_back(device);
    keys.push_back(enumerator);
    return keys;
}

bool ChangeLogPlatform::exists(const std::string& path) {
    HKEY32 handle = 0;
    if (machine_.RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &handle) != status::Success) return false;
    machine_.RegCloseKey(handle);
    return true;
}

long ChangeLogPlatform::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    const std::string path = pathBelow(key, subKey);
    // What may go with the key is read while it is there; a key the machine
    // refuses to delete has nothing taken along.
    std::vector<std::string> along;
    if (!path.empty()) along = deletesSubtrees_ ? keysBelow(key, subKey, path) : keysThatMayGoWith(path);
    const long s = machine_.RegDeleteKeyA(key, subKey);
    if (s == status::Success) {
        record(Change::Kind::DeleteKey, path.empty() ? subKey : path);
        for (const std::string& k : along) {
            // The 9x layout takes every key below; elsewhere only what is gone went.
            if (deletesSubtrees_ || (foldPath(k) != foldPath(path) && !exists(k))) {
                record(Change::Kind::DeleteKey, k, path);
            }
        }
    }
    return s;
}

// --- files ---------------------------------------------------------------------

void ChangeLogPlatform::deleteFile(const std::string& path) {
    const std::string stored = machine_.storedPath(path);
    machine_.deleteFile(path);
    if (written_.erase(foldPath(path))) return;  // written by this run and gone again
    record(Change::Kind::DeleteFile, stored.empty() ? path : stored);
}

std::unique_ptr<files::InputFile> ChangeLogPlatform::openInput(const std::string& path) {
    if (const auto s = substitutes_.find(foldPath(path)); s != substitutes_.end()) return s->second();
    return machine_.openInput(path);
}

void ChangeLogPlatform::writeFile(const std::string& path, const std::string& bytes) {
    machine_.writeFile(path, bytes);
    written_.insert(foldPath(path));
    record(Change::Kind::WriteFile, path);
}

bool ChangeLogPlatform::removeDriverPackage(const std::string& infName) {
    // The package's files as the machine stores them, looked at before and
    // after: those it took away are deletions of this run.
    const std::string folder = machine_.windowsDirectory() + "\\inf\\";
    std::vector<std::string> files{machine_.storedPath(folder + infName)};
    if (infName.size() > 4) files.push_back(machine_.storedPath(folder + infName.substr(0, infName.size() - 4) + ".pnf"));
    if (!machine_.removeDriverPackage(infName)) return false;
    for (const std::string& f : files) {
        if (!f.empty() && machine_.storedPath(f).empty()) record(Change::Kind::DeleteFile, f);
    }
    return true;
}

// --- programs and restart -----------------------------------------------------------

bool ChangeLogPlatform::requestRestart(std::uint32_t flags, std::uint32_t reserved) {
    const bool goingDown = machine_.requestRestart(flags, reserved);
    record(Change::Kind::Restart, std::to_string(flags) + " " + std::to_string(reserved));
    return goingDown;
}

void ChangeLogPlatform::startProgram(const std::string& path, int windowStyle) {
    machine_.startProgram(path, windowStyle);
    record(Change::Kind::StartProgram, path);
}

void ChangeLogPlatform::openShortcut(const std::string& content) {
    machine_.openShortcut(content);
    record(Change::Kind::OpenShortcut, content);
}

}  // namespace sysaccess::overlay
