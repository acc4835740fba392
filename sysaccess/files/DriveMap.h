#pragma once
// The drive letters of a Wine-style machine image and the host folders they
// stand for, with the translation of paths between the two worlds. Windows
// paths are bytes in the machine's ANSI code page; host names are UTF-8, as
// Wine keeps them on disk.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sysaccess::files {

class DriveMap {
public:
    explicit DriveMap(unsigned codePage = 1252) : codePage_(codePage) {}
    // Reads the <prefix>/dosdevices/<x>: links; a letter without one is absent.
    static DriveMap fromPrefix(const std::filesystem::path& prefix, unsigned codePage = 1252);
    unsigned codePage() const { return codePage_; }
    void set(char letter, std::filesystem::path hostRoot);
    bool has(char letter) const;

    // Windows path -> host path. Accepts "C:\a\b", "C:a" (relative to the
    // current directory when it is on C:, else to C:\), "\a" (root of the
    // current drive) and "a\b" (relative to `currentDir`, itself a Windows
    // path); "/" separates like "\". ".." never climbs above the drive root.
    // Each component is converted to UTF-8; an existing one is looked up
    // case-insensitively, exact match first, the rest are kept as written.
    // A '\' that is the second byte of a double-byte character separates
    // nothing. nullopt when the drive has no link, for UNC paths, paths
    // holding a NUL and paths that are no text of the code page.
    std::optional<std::filesystem::path> toHost(std::string_view winPath,
                                                std::string_view currentDir) const;

    // True for "X:\..." (or "X:/..."): a path that says its drive and starts
    // at its root, so the current directory plays no part in it.
    static bool isFullPath(std::string_view winPath);
    // The host folder (as configured) of the drive a full path lies on;
    // nullopt for other paths and for drives without a link.
    std::optional<std::filesystem::path> rootOf(std::string_view winPath) const;

    // Host path -> Windows path through the drive whose folder is the longest
    // one containing the path (links resolved), Z: for the rest. A drive root
    // keeps its backslash ("A:\"), other folders have none. nullopt when a
    // component has no spelling in the code page.
    std::optional<std::string> toWindows(const std::filesystem::path& host) const;

    // True when the host path, with its links resolved, lies in one of the
    // drives' folders: what the file services may touch.
    bool contains(const std::filesystem::path& host) const;

private:
    struct Drive {
        std::filesystem::path root;      // as configured, for building host paths
        std::filesystem::path resolved;  // links resolved, for comparisons
    };
    const Drive* drive(char letter) const;

    std::array<std::optional<Drive>, 26> drives_;
    unsigned codePage_;
};

}  // namespace sysaccess::files
