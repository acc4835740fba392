#pragma once
// The file services of the platform over a drive map: search, delete, read
// and write files named by Windows paths in the drive map's code page.
// Failures raise RuntimeError.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/files/DriveMap.h"
#include "sysaccess/files/FolderCache.h"
#include "sysaccess/files/FolderStamp.h"
#include "sysaccess/files/InputFile.h"

namespace sysaccess::files {

class FileSystem {
public:
    // `currentDirectory` gives the Windows path that relative paths start from.
    FileSystem(DriveMap drives, std::function<std::string()> currentDirectory);

    // Bare name, in its stored spelling and in the code page, of the first
    // normal file (not hidden, not system, not a folder) in case-insensitive
    // name order whose name matches the last component of `pattern`; "" when
    // none or the folder is missing. Host names with no spelling in the code
    // page are never found. A drive without a link raises "Device unavailable".
    std::string findFirstFile(const std::string& pattern);
    // Up to `most` matching normal files, in the order findFirstFile picks
    // its answer from (the first of them is that answer).
    std::vector<std::string> findFiles(const std::string& pattern, std::size_t most);
    // A path that is no text of the code page is a bad file name (52) in
    // the three calls below.
    // Deletes one file (no wildcards). Missing: 53; read-only, a folder or
    // anything else that is not a file: 75; refused by the host: 70 or 75.
    void deleteFile(const std::string& path);
    // Raises what deleteFile would raise before it deletes, deleting nothing.
    void checkDeletable(const std::string& path) const;
    // The full Windows path of the existing file or folder `path` names:
    // the folder it lies in with links resolved, through the drive that
    // holds it, and its own name as stored on the host (a link itself is
    // not followed). Every spelling of one entry gives the same path. Empty
    // when it names nothing, or nothing the code page can spell.
    std::string storedPath(const std::string& path) const;
    // Whole content as bytes. Missing: 53; a folder or not a plain file: 75.
    std::string readFile(const std::string& path);
    // The file opened for reading in pieces, with the failures of readFile.
    std::unique_ptr<InputFile> openInput(const std::string& path);
    // Creates or overwrites the file. Missing folder: 76; read-only file,
    // a folder or a write failure: 75.
    void writeFile(const std::string& path, const std::string& bytes);

    const DriveMap& drives() const { return drives_; }

private:
    // An entry's name in the code page and its name on the host.
    struct Entry {
        std::string name, host;
    };
    // A folder's entries in search order, as read at `stamp`.
    struct Listing {
        FolderStamp stamp;
        std::vector<Entry> entries;
    };

    std::filesystem::path hostOf(const std::string& path) const;
    // The host path of a file deleteFile may delete, after its checks.
    std::filesystem::path deletable(const std::string& path) const;
    // The host folder of a Windows folder path and whether it lies within
    // the drives, kept between searches where it can be (FolderCache).
    const FolderCache::Folder& folderOf(const std::string& winFolder);
    // The entries of a folder that have a name in the code page, in
    // case-insensitive name order; empty when the folder cannot be read.
    // `known` is the folder's stamp when the caller has just checked it.
    const std::vector<Entry>& entriesIn(const std::filesystem::path& folder, const FolderStamp* known);

    DriveMap drives_;
    // Listings kept between searches, by host folder. One is used again only
    // while the folder's stamp is unchanged and was already old when the
    // folder was read, so a change in the same clock tick cannot hide.
    std::map<std::string, Listing> listings_;
    std::vector<Entry> scratch_;  // a listing that could not be kept
    FolderCache folders_;
    FolderCache::Folder scratchFolder_;  // a resolution that could not be kept
    std::function<std::string()> currentDirectory_;
};

}  // namespace sysaccess::files
