#pragma once
// The file services of the platform over a drive map: search, delete, read
// and write files named by Windows paths. Failures raise RuntimeError.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sysaccess/files/DriveMap.h"

namespace sysaccess::files {

class FileSystem {
public:
    // `currentDirectory` gives the Windows path that relative paths start from.
    FileSystem(DriveMap drives, std::function<std::string()> currentDirectory);

    // Bare name, in its stored spelling, of the first normal file (not hidden,
    // not system, not a folder) in case-insensitive name order whose name
    // matches the last component of `pattern`; "" when none or the folder is
    // missing. A drive without a link raises "Device unavailable".
    std::string findFirstFile(const std::string& pattern);
    // Deletes one file (no wildcards). Missing: 53; read-only, a folder or
    // anything else that is not a file: 75; refused by the host: 70 or 75.
    void deleteFile(const std::string& path);
    // Whole content as bytes. Missing: 53; a folder or not a plain file: 75.
    std::string readFile(const std::string& path);
    // Creates or overwrites the file. Missing folder: 76; read-only file,
    // a folder or a write failure: 75.
    void writeFile(const std::string& path, const std::string& bytes);

    std::string programFolderOf(const std::filesystem::path& hostFolder) const;
    const DriveMap& drives() const { return drives_; }

private:
    // What changes whenever an entry of a folder is added, removed or renamed.
    struct FolderStamp {
        std::uint64_t device = 0, inode = 0;
        std::int64_t modified = 0, changed = 0;  // nanoseconds
        bool operator==(const FolderStamp&) const = default;
    };
    // A folder's entry names in search order, as read at `stamp`.
    struct Listing {
        FolderStamp stamp;
        std::vector<std::string> names;
    };

    std::filesystem::path hostOf(const std::string& path) const;
    // The entry names of a folder in case-insensitive name order; empty when
    // the folder cannot be read.
    const std::vector<std::string>& namesIn(const std::filesystem::path& folder);

    DriveMap drives_;
    // Listings kept between searches, by host folder. One is used again only
    // while the folder's stamp is unchanged and was already old when the
    // folder was read, so a change in the same clock tick cannot hide.
    std::map<std::string, Listing> listings_;
    std::vector<std::string> scratch_;  // a listing that could not be kept
    std::function<std::string()> currentDirectory_;
};

}  // namespace sysaccess::files
