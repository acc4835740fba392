#include "sysaccess/files/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <optional>
#include <utility>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/Attributes.h"
#include "sysaccess/files/HostInputFile.h"
#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

namespace sysaccess::files {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fileNotFound() { raise(err::FileNotFound, "File not found"); }
[[noreturn]] void accessError() { raise(err::PathFileAccess, "Path/File access error"); }

// Splits "C:\dir\name" into the folder ("C:\dir\") and the last component.
std::pair<std::string, std::string> splitLast(const std::string& path, unsigned codePage) {
    std::size_t cut = text::lastSeparator(path, codePage);
    if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') cut = 1;
    if (cut == std::string::npos) return {"", path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

bool isNormalFile(const fs::path& host) {
    std::error_code ec;
    if (!fs::is_regular_file(host, ec)) return false;
    DosAttributes a = attributesOf(host);
    return !a.hidden && !a.system && !a.directory;
}

}  // namespace

FileSystem::FileSystem(DriveMap drives, std::function<std::string()> currentDirectory)
    : drives_(std::move(drives)), currentDirectory_(std::move(currentDirectory)) {}

fs::path FileSystem::hostOf(const std::string& path) const {
    if (path.find('\0') != std::string::npos || !text::ansiToUtf8(path, drives_.codePage()))
        raise(err::BadFileName, "Bad file name or number");
    // The current directory is asked for only when the path needs it.
    const bool needsBase = currentDirectory_ && !DriveMap::isFullPath(path);
    auto host = drives_.toHost(path, needsBase ? currentDirectory_() : std::string());
    if (!host) raise(err::DeviceUnavailable, "Device unavailable");
    return *host;
}

std::string FileSystem::findFirstFile(const std::string& pattern) {
    std::vector<std::string> found = findFiles(pattern, 1);
    return found.empty() ? std::string() : std::move(found.front());
}

std::vector<std::string> FileSystem::findFiles(const std::string& pattern, std::size_t most) {
    std::vector<std::string> found;
    const unsigned cp = drives_.codePage();
    auto [folderPart, name] = splitLast(pattern, cp);
    if (name.empty() || hasWildcard(folderPart, cp) || !text::ansiToUtf8(pattern, cp)) return found;
    const FolderCache::Folder& resolved = folderOf(folderPart);
    if (!resolved.contained) return found;
    const fs::path& folder = resolved.host;

    const std::vector<Entry>& entries = entriesIn(folder, resolved.stamp ? &*resolved.stamp : nullptr);
    auto first = entries.begin(), last = entries.end();
    // A plain name matches only its own spellings (a trailing "." also
    // matches the name without extension, so it takes the long way). The
    // range is that of lessIgnoreCase's first key.
    if (!hasWildcard(name, cp) && name.back() != '.') {
        auto before = [cp](const Entry& e, const std::string& n) { return compareIgnoreCase(e.name, n, cp) < 0; };
        auto after = [cp](const std::string& n, const Entry& e) { return compareIgnoreCase(n, e.name, cp) < 0; };
        first = std::lower_bound(entries.begin(), entries.end(), name, before);
        last = std::upper_bound(first, entries.end(), name, after);
    }
    for (auto it = first; it != last && found.size() < most; ++it) {
        if (matchesPattern(it->name, name, cp) && isNormalFile(folder / it->host)) found.push_back(it->name);
    }
    return found;
}

const FolderCache::Folder& FileSystem::folderOf(const std::string& winFolder) {
    if (const FolderCache::Folder* kept = folders_.find(winFolder)) return *kept;
    auto resolve = [&] {
        FolderCache::Folder f;
        f.host = hostOf(winFolder);
        f.contained = drives_.contains(f.host);
        return f;
    };
    scratchFolder_ = resolve();
    if (const auto root = drives_.rootOf(winFolder)) {
        if (const FolderCache::Folder* kept = folders_.keep(winFolder, *root, scratchFolder_, resolve)) return *kept;
    }
    return scratchFolder_;
}

const std::vector<FileSystem::Entry>& FileSystem::entriesIn(const fs::path& folder, const FolderStamp* known) {
    const std::string key = folder.string();
    const std::optional<FolderStamp> stamp = known ? *known : FolderStamp::ofPath(key);
    if (!stamp) {
        listings_.erase(key);
        scratch_.clear();
        return scratch_;
    }
    if (auto it = listings_.find(key); it != listings_.end() && it->second.stamp == *stamp) return it->second.entries;

    const std::int64_t readAt = FolderStamp::now();
    const unsigned cp = drives_.codePage();
    std::vector<Entry> entries;
    if (DIR* dir = ::opendir(key.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            std::string_view n = e->d_name;
            if (n == "." || n == "..") continue;
            // A name the code page cannot spell (or that is no UTF-8) would
            // come back as some other name: it is left out of every search,
            // so no pattern can reach it.
            if (auto name = text::utf8ToAnsi(n, cp)) entries.push_back(Entry{std::move(*name), std::string(n)});
        }
        ::closedir(dir);
    }
    std::sort(entries.begin(), entries.end(),
              [cp](const Entry& a, const Entry& b) { return lessIgnoreCase(a.name, b.name, cp); });

    if (!stamp->settledAt(readAt)) {
        listings_.erase(key);
        scratch_ = std::move(entries);
        return scratch_;
    }
    Listing& kept = listings_[key];
    kept = Listing{*stamp, std::move(entries)};
    return kept.entries;
}

fs::path FileSystem::deletable(const std::string& path) const {
    const fs::path host = hostOf(path);
    if (hasWildcard(splitLast(path, drives_.codePage()).second, drives_.codePage())) fileNotFound();
    // The last component is removed, not followed: only its folder must lie
    // within the drives.
    if (!drives_.contains(host.parent_path())) accessError();

    std::error_code ec;
    const fs::file_status st = fs::status(host, ec);
    if (!fs::exists(st)) fileNotFound();
    if (!fs::is_regular_file(st)) accessError();
    if (attributesOf(host).readOnly) accessError();
    return host;
}

std::string FileSystem::storedPath(const std::string& path) const {
    fs::path host;
    try {
        host = hostOf(path);
    } catch (const RuntimeError&) {
        return "";
    }
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(host, ec))) return "";
    // A drive's root has no folder of its own to be named in.
    if (const auto whole = drives_.toWindows(host); whole && whole->size() == 3) return *whole;
    const auto folder = drives_.toWindows(host.parent_path());
    const auto name = text::utf8ToAnsi(host.filename().string(), drives_.codePage());
    if (!folder || !name) return "";
    return *folder + (folder->back() == '\\' ? "" : "\\") + *name;
}

void FileSystem::checkDeletable(const std::string& path) const { deletable(path); }

void FileSystem::deleteFile(const std::string& path) {
    const fs::path host = deletable(path);
    std::error_code ec;

    // A listing of the folder, and a resolution of its path, that are
    // current before this deletion stay current after it: the name goes and
    // the folder's new stamp is noted, so the next searches need not read
    // the folder or resolve its path again.
    const std::string folderKey = host.parent_path().string();
    const std::optional<FolderStamp> before = FolderStamp::ofPath(folderKey);
    auto kept = listings_.find(folderKey);
    if (kept != listings_.end() && kept->second.stamp != before) listings_.erase(kept), kept = listings_.end();

    if (!fs::remove(host, ec) || ec) {
        if (ec == std::errc::no_such_file_or_directory) fileNotFound();
        if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
            raise(err::PermissionDenied, "Permission denied");
        accessError();
    }
    const std::optional<FolderStamp> after = before ? FolderStamp::ofPath(folderKey) : std::nullopt;
    folders_.deleted(folderKey, before, after);
    if (kept == listings_.end()) return;
    if (!after) {
        listings_.erase(kept);
        return;
    }
    kept->second.stamp = *after;
    std::erase_if(kept->second.entries, [&](const Entry& e) { return e.host == host.filename().string(); });
}

std::unique_ptr<InputFile> FileSystem::openInput(const std::string& path) {
    const fs::path host = hostOf(path);
    if (!drives_.contains(host)) accessError();

    std::error_code ec;
    if (!fs::exists(fs::status(host, ec))) fileNotFound();
    // Folders, pipes and devices are no files to read.
    return openHostFile(host);
}

std::string FileSystem::readFile(const std::string& path) {
    const std::unique_ptr<InputFile> file = openInput(path);
    std::string bytes;
    char chunk[65536];
    while (const std::size_t n = file->read(chunk, sizeof chunk)) bytes.append(chunk, n);
    return bytes;
}

void FileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const fs::path host = hostOf(path);
    if (!drives_.contains(host)) accessError();

    std::error_code ec;
    if (!fs::is_directory(host.parent_path(), ec)) raise(err::PathNotFound, "Path not found");
    const fs::file_status st = fs::status(host, ec);
    if (fs::exists(st) && (!fs::is_regular_file(st) || attributesOf(host).readOnly)) accessError();
    // A dangling link would create its target, wherever that points.
    if (!fs::exists(st) && fs::is_symlink(fs::symlink_status(host, ec))) accessError();

    listings_.erase(host.parent_path().string());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    if (!out) accessError();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) accessError();
}

}  // namespace sysaccess::files
