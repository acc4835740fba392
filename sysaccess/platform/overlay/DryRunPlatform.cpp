#include "sysaccess/platform/overlay/DryRunPlatform.h"

#include <algorithm>
#include <utility>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/platform/overlay/KeyPaths.h"
#include "sysaccess/text/CodePage.h"

namespace sysaccess::overlay {

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), upper);
    return s;
}

}  // namespace

DryRunPlatform::DryRunPlatform(Platform& inner, bool deletesSubtrees)
    : inner_(inner), deletesSubtrees_(deletesSubtrees) {}

void DryRunPlatform::record(Change::Kind kind, const std::string& what, const std::string& takenWith) {
    changes_.push_back({kind, what, step ? step() : std::string(), takenWith});
}

void DryRunPlatform::substitute(const std::string& path,
                                std::function<std::unique_ptr<files::InputFile>()> hostReader) {
    substitutes_[foldPath(path)] = std::move(hostReader);
}

// --- registry ----------------------------------------------------------------

const DryRunPlatform::OpenKey* DryRunPlatform::keyOf(HKEY32 handle) const {
    static const OpenKey root;
    if (handle == HKEY_LOCAL_MACHINE) return &root;
    const auto it = keys_.find(handle);
    return it == keys_.end() ? nullptr : &it->second;
}

DryRunPlatform::OpenKey DryRunPlatform::below(const OpenKey& base, const std::string& subKey) const {
    OpenKey key = base;
    for (const std::string& part : keyComponents(subKey)) {
        key.path = joinKey(key.path, part);
        key.folded = joinKey(key.folded, upperAscii(part));
    }
    return key;
}

bool DryRunPlatform::keyHidden(const std::string& folded) const {
    // Hidden when the key itself or one of the keys above it was deleted.
    for (std::size_t at = folded.size();; at = folded.rfind('\\', at - 1)) {
        if (deletedKeys_.count(folded.substr(0, at))) return true;
        if (at == 0 || at == std::string::npos) return false;
    }
}

long DryRunPlatform::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    const OpenKey* base = keyOf(key);
    if (base && keyHidden(base->folded)) {
        if (result) *result = 0;
        return status::InvalidHandle;
    }
    const long s = inner_.RegOpenKeyA(key, subKey, result);
    if (s != status::Success || !base) return s;
    OpenKey opened = below(*base, subKey);
    if (keyHidden(opened.folded)) {
        inner_.RegCloseKey(*result);
        *result = 0;
        return status::FileNotFound;
    }
    if (*result != HKEY_LOCAL_MACHINE) keys_[*result] = std::move(opened);
    return s;
}

long DryRunPlatform::RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) {
    const OpenKey* base = keyOf(key);
    if (!base) return inner_.RegEnumKeyA(key, index, name, capacity);
    if (keyHidden(base->folded)) return status::InvalidHandle;
    if (index < 0 || !name) return status::InvalidParameter;
    // The deleted subkeys are passed over, so the rest move up as they
    // would once the deletions had happened.
    std::int32_t visible = 0;
    std::string found(NameRoom, '\0');
    for (std::int32_t at = 0;; ++at) {
        const long s = inner_.RegEnumKeyA(key, at, found.data(), NameRoom);
        if (s != status::Success) return s;
        const std::string child(found.c_str());
        if (keyHidden(joinKey(base->folded, upperAscii(child)))) continue;
        if (visible++ < index) continue;
        if (child.size() + 1 > capacity) return status::MoreData;
        std::copy(child.c_str(), child.c_str() + child.size() + 1, name);
        return status::Success;
    }
}

bool DryRunPlatform::hasVisibleSubkey(HKEY32 innerHandle, const std::string& folded) {
    std::string found(NameRoom, '\0');
    for (std::int32_t at = 0; inner_.RegEnumKeyA(innerHandle, at, found.data(), NameRoom) == status::Success; ++at) {
        if (!keyHidden(joinKey(folded, upperAscii(found.c_str())))) return true;
    }
    return false;
}

long DryRunPlatform::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    // The machine judges the key first, as its own deletion would: what it
    // raises for any key, a missing key, a key it keeps whatever it holds.
    const long machine = inner_.checkKeyDeletable(key, subKey);
    const OpenKey* base = keyOf(key);
    if (!base || keyHidden(base->folded)) return status::InvalidHandle;
    // An empty name would name the open key itself; the machine refuses it.
    if (keyComponents(subKey).empty()) return status::InvalidParameter;
    if (machine != status::Success) return machine;
    HKEY32 target = 0;
    const long s = inner_.RegOpenKeyA(key, subKey, &target);
    if (s != status::Success) return s;
    const OpenKey doomed = below(*base, subKey);
    long answer = status::Success;
    if (keyHidden(doomed.folded)) {
        answer = status::FileNotFound;
    } else if (!deletesSubtrees_ && hasVisibleSubkey(target, doomed.folded)) {
        answer = status::AccessDenied;
    }
    if (answer == status::Success) {
        try {
            // A deletion that would be written back now: what keeps the
            // machine from writing it stops the run here.
            inner_.checkKeyWriteBack();
        } catch (...) {
            inner_.RegCloseKey(target);
            throw;
        }
        record(Change::Kind::DeleteKey, doomed.path);
        if (deletesSubtrees_) recordSubtree(target, doomed, doomed.path);
        deletedKeys_.insert(doomed.folded);
    }
    inner_.RegCloseKey(target);
    return answer;
}

void DryRunPlatform::recordSubtree(HKEY32 innerHandle, const OpenKey& key, const std::string& top) {
    std::string found(NameRoom, '\0');
    for (std::int32_t at = 0; inner_.RegEnumKeyA(innerHandle, at, found.data(), NameRoom) == status::Success; ++at) {
        const std::string name(found.c_str());
        const OpenKey child{joinKey(key.path, name), joinKey(key.folded, upperAscii(name))};
        if (keyHidden(child.folded)) continue;  // deleted before, and listed then
        record(Change::Kind::DeleteKey, child.path, top);
        HKEY32 below = 0;
        if (inner_.RegOpenKeyA(innerHandle, name, &below) != status::Success) continue;
        recordSubtree(below, child, top);
        inner_.RegCloseKey(below);
    }
}

long DryRunPlatform::RegCloseKey(HKEY32 key) {
    keys_.erase(key);
    return inner_.RegCloseKey(key);
}

// --- files ---------------------------------------------------------------------

bool DryRunPlatform::fileDeleted(const std::string& path) {
    if (deletedFiles_.empty()) return false;
    const std::string stored = inner_.storedPath(path);
    return !stored.empty() && deletedFiles_.count(stored) != 0;
}

std::string DryRunPlatform::storedPath(const std::string& path) {
    return fileDeleted(path) ? std::string() : inner_.storedPath(path);
}

std::vector<std::string> DryRunPlatform::findFiles(const std::string& pattern) {
    std::vector<std::string> found = inner_.findFiles(pattern);
    if (deletedFiles_.empty()) return found;
    const std::size_t cut = text::lastSeparator(pattern, inner_.ansiCodePage());
    const std::string folder = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
    std::erase_if(found, [&](const std::string& name) { return fileDeleted(folder + name); });
    return found;
}

std::string DryRunPlatform::findFirstFile(const std::string& pattern) {
    if (deletedFiles_.empty()) return inner_.findFirstFile(pattern);
    const std::vector<std::string> found = findFiles(pattern);
    return found.empty() ? std::string() : found.front();
}

void DryRunPlatform::checkDeletable(const std::string& path) {
    // A file deleted here is missing to the machine's deletion; it was
    // within the drives then, so the machine would find nothing else wrong.
    if (fileDeleted(path)) raise(err::FileNotFound, "File not found");
    inner_.checkDeletable(path);
}

void DryRunPlatform::deleteFile(const std::string& path) {
    if (written_.erase(foldPath(path))) return;  // never reached the machine
    // What the machine's deletion would raise stops the preview where it
    // stops the real run: a missing, read-only or refused file. Whether a
    // search would list the file (hidden, system) does not matter to it.
    checkDeletable(path);
    const std::string stored = inner_.storedPath(path);
    if (stored.empty()) raise(err::FileNotFound, "File not found");
    deletedFiles_.insert(stored);
    record(Change::Kind::DeleteFile, stored);
}

std::string DryRunPlatform::readFile(const std::string& path) {
    const std::string folded = foldPath(path);
    if (const auto w = written_.find(folded); w != written_.end()) return w->second;
    if (fileDeleted(path)) raise(err::FileNotFound, "File not found");
    return inner_.readFile(path);
}

std::unique_ptr<files::InputFile> DryRunPlatform::openInput(const std::string& path) {
    const std::string folded = foldPath(path);
    if (const auto w = written_.find(folded); w != written_.end()) {
        return std::make_unique<files::MemoryInputFile>(w->second);
    }
    if (fileDeleted(path)) raise(err::FileNotFound, "File not found");
    if (const auto s = substitutes_.find(folded); s != substitutes_.end()) return s->second();
    return inner_.openInput(path);
}

void DryRunPlatform::writeFile(const std::string& path, const std::string& bytes) {
    written_[foldPath(path)] = bytes;
    record(Change::Kind::WriteFile, path);
}

// --- programs and restart -----------------------------------------------------------

bool DryRunPlatform::requestRestart(std::uint32_t flags, std::uint32_t reserved) {
    record(Change::Kind::Restart, std::to_string(flags) + " " + std::to_string(reserved));
    return false;
}

void DryRunPlatform::startProgram(const std::string& path, int) { record(Change::Kind::StartProgram, path); }

void DryRunPlatform::openShortcut(const std::string& content) { record(Change::Kind::OpenShortcut, content); }

}  // namespace sysaccess::overlay
