#pragma once
// The file services of the platform over a drive map: search, delete, read
// and write files named by Windows paths. Failures raise RuntimeError.
#include <filesystem>
#include <functional>
#include <string>

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
    std::filesystem::path hostOf(const std::string& path) const;

    DriveMap drives_;
    std::function<std::string()> currentDirectory_;
};

}  // namespace sysaccess::files
