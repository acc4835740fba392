#include "sysaccess/files/FileSystem.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/Attributes.h"
#include "sysaccess/files/Names.h"

namespace sysaccess::files {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fileNotFound() { raise(err::FileNotFound, "File not found"); }
[[noreturn]] void accessError() { raise(err::PathFileAccess, "Path/File access error"); }

// Splits "C:\dir\name" into the folder ("C:\dir\") and the last component.
std::pair<std::string, std::string> splitLast(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
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
    if (path.find('\0') != std::string::npos) raise(err::BadFileName, "Bad file name or number");
    auto host = drives_.toHost(path, currentDirectory_ ? currentDirectory_() : std::string());
    if (!host) raise(err::DeviceUnavailable, "Device unavailable");
    return *host;
}

std::string FileSystem::findFirstFile(const std::string& pattern) {
    auto [folderPart, name] = splitLast(pattern);
    if (name.empty() || hasWildcard(folderPart)) return "";
    const fs::path folder = hostOf(folderPart);
    if (!drives_.contains(folder)) return "";

    std::optional<std::string> best;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (!matchesPattern(entry, name) || (best && !lessIgnoreCase(entry, *best))) continue;
        if (isNormalFile(it->path())) best = std::move(entry);
    }
    return best.value_or("");
}

void FileSystem::deleteFile(const std::string& path) {
    const fs::path host = hostOf(path);
    if (hasWildcard(splitLast(path).second)) fileNotFound();
    // The last component is removed, not followed: only its folder must lie
    // within the drives.
    if (!drives_.contains(host.parent_path())) accessError();

    std::error_code ec;
    const fs::file_status st = fs::status(host, ec);
    if (!fs::exists(st)) fileNotFound();
    if (!fs::is_regular_file(st)) accessError();
    if (attributesOf(host).readOnly) accessError();

    if (!fs::remove(host, ec) || ec) {
        if (ec == std::errc::no_such_file_or_directory) fileNotFound();
        if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
            raise(err::PermissionDenied, "Permission denied");
        accessError();
    }
}

std::string FileSystem::readFile(const std::string& path) {
    const fs::path host = hostOf(path);
    if (!drives_.contains(host)) accessError();

    std::error_code ec;
    const fs::file_status st = fs::status(host, ec);
    if (!fs::exists(st)) fileNotFound();
    // Folders, pipes and devices are no files to read (a pipe would block).
    if (!fs::is_regular_file(st)) accessError();

    std::ifstream in(host, std::ios::binary);
    if (!in) accessError();
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) accessError();
    return bytes.str();
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

    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    if (!out) accessError();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) accessError();
}

std::string FileSystem::programFolderOf(const fs::path& hostFolder) const {
    return drives_.toWindows(hostFolder);
}

}  // namespace sysaccess::files
