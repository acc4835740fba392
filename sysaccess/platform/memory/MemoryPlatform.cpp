#include "sysaccess/platform/memory/MemoryPlatform.h"

#include <algorithm>
#include <cctype>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/Names.h"

namespace sysaccess::platform_memory {

namespace {
std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}
registry::Registry::Options memoryOptions(registry::Family family) {
    registry::Registry::Options o;
    o.family = family;
    return o;
}
}  // namespace

MemoryPlatform::MemoryPlatform(registry::Family family) : registry_(memoryOptions(family)) {}

std::string MemoryPlatform::absolute(const std::string& path) const {
    if (path.size() >= 2 && path[1] == ':') return path;
    std::string base = currentFolder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    return base + path;
}

void MemoryPlatform::putFile(const std::string& path, std::string bytes) {
    const std::string full = absolute(path);
    files_[upper(full)] = {full, std::move(bytes)};
}

bool MemoryPlatform::hasFile(const std::string& path) const { return files_.count(upper(absolute(path))) != 0; }

long MemoryPlatform::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    return registry_.RegOpenKeyA(key, subKey, result);
}
long MemoryPlatform::RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) {
    return registry_.RegEnumKeyA(key, index, name, capacity);
}
long MemoryPlatform::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    return registry_.RegDeleteKeyA(key, subKey);
}
long MemoryPlatform::RegCloseKey(HKEY32 key) { return registry_.RegCloseKey(key); }

bool MemoryPlatform::requestRestart(std::uint32_t flags, std::uint32_t reserved) {
    restarts.push_back(flags);
    restartReasons.push_back(reserved);
    return true;
}

std::string MemoryPlatform::findFirstFile(const std::string& pattern) {
    const std::string full = absolute(pattern);
    const auto cut = full.rfind('\\');
    const std::string folder = upper(full.substr(0, cut + 1));
    const std::string name = full.substr(cut + 1);
    // The map is ordered by upper-case path: the first match is the first in name order.
    for (const auto& [key, entry] : files_) {
        if (key.compare(0, folder.size(), folder) != 0) continue;
        const std::string rest = entry.first.substr(folder.size());
        if (rest.find('\\') == std::string::npos && files::matchesPattern(rest, name)) return rest;
    }
    return "";
}

void MemoryPlatform::deleteFile(const std::string& path) {
    if (files_.erase(upper(absolute(path))) == 0) raise(err::FileNotFound, "File not found");
}

std::string MemoryPlatform::readFile(const std::string& path) {
    auto it = files_.find(upper(absolute(path)));
    if (it == files_.end()) raise(err::FileNotFound, "File not found");
    return it->second.second;
}

std::unique_ptr<files::InputFile> MemoryPlatform::openInput(const std::string& path) {
    return std::make_unique<files::MemoryInputFile>(readFile(path));
}

void MemoryPlatform::writeFile(const std::string& path, const std::string& bytes) { putFile(path, bytes); }

void MemoryPlatform::startProgram(const std::string& path, int) {
    if (!hasFile(path)) raise(err::FileNotFound, "File not found");
    started.push_back(path);
}

void MemoryPlatform::openShortcut(const std::string& content) { shortcuts.push_back(content); }

}  // namespace sysaccess::platform_memory
