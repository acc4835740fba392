#pragma once
// The registry file on disk: reading it, noticing changes by others, the
// writers' lock, the Wine server check and the atomic replacement.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sysaccess::registry {

// Identity of the file's content as last seen: a change of any of these
// means another writer replaced or edited it.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The name of a Wine server's folder for a prefix folder,
// "server-<device>-<inode>" in hex; "" when the folder cannot be looked at.
std::string wineServerFolderName(const std::filesystem::path& prefix);

class RegFileStore {
public:
    // wineServerRoot: the folder of Wine's classic server layout
    // ("/tmp/.wine-<uid>"); wineTempDirs: the folders the newer layout's
    // server folder may be in (the server's TMPDIR, or /tmp).
    RegFileStore(std::filesystem::path file, std::filesystem::path wineServerRoot,
                 std::vector<std::filesystem::path> wineTempDirs);

    struct Content {
        std::string bytes;    // empty when the file is missing
        FileStamp stamp;
        bool readable = true; // false when it exists but cannot be read
        int error = 0;        // errno of the failed read when not readable
    };
    Content read() const;
    FileStamp stamp() const;

    // Exclusive lock between writers (flock on "<file>.lock" beside the
    // file), released when the object goes. Waits a few seconds at most;
    // on failure `error` holds the errno (EWOULDBLOCK: another writer kept it).
    class Lock {
    public:
        explicit Lock(int fd) : fd_(fd) {}
        Lock(Lock&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
        Lock& operator=(Lock&&) = delete;
        ~Lock();

    private:
        int fd_;
    };
    std::optional<Lock> lock(int& error) const;

    // True while a Wine server runs for the prefix folder holding the file.
    // The server keeps a write lock on "lock" in its folder
    // "server-<device>-<inode>" (the prefix folder's numbers in hex), which
    // is either below the classic root, or, as Debian's Wine 8 does it,
    // below "<temp>/<name>", where the prefix's file "wineserver" holds the
    // name and <temp> is the server's TMPDIR or /tmp. A lock file that exists
    // but cannot be asked counts as held.
    bool wineServerRunning() const;

    // Writes bytes to a temporary file in the same folder, flushes it, keeps
    // the old file's permissions and renames it over the file. The old file
    // stays whole on any failure, and `error` holds the errno. Call with the
    // lock held.
    bool replace(const std::string& bytes, int& error) const;

    // Called after the temporary file is complete and flushed, just before
    // the rename (for tests that simulate a crash at that point).
    std::function<void()> beforeRename;

    const std::filesystem::path& file() const { return file_; }

private:
    void removeStaleTemporaries() const;
    std::vector<std::filesystem::path> serverFolders() const;

    std::filesystem::path file_;
    std::filesystem::path serverRoot_;
    std::vector<std::filesystem::path> tempDirs_;
};

}  // namespace sysaccess::registry
