#pragma once
// The registry file on disk: reading it, noticing changes by others, the
// writers' lock, the Wine server check and the atomic replacement.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace sysaccess::registry {

// Identity of the file's content as last seen: a change of any of these
// means another writer replaced or edited it.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

class RegFileStore {
public:
    RegFileStore(std::filesystem::path file, std::filesystem::path wineServerRoot);

    struct Content {
        std::string bytes;    // empty when the file is missing
        FileStamp stamp;
        bool readable = true; // false when it exists but cannot be read
    };
    Content read() const;
    FileStamp stamp() const;

    // Exclusive lock between writers (flock on "<file>.lock" beside the
    // file), released when the object goes. Waits a few seconds at most.
    class Lock {
    public:
        explicit Lock(int fd) : fd_(fd) {}
        Lock(Lock&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
        Lock& operator=(Lock&&) = delete;
        ~Lock();

    private:
        int fd_;
    };
    std::optional<Lock> lock() const;

    // True while a Wine server runs for the prefix folder holding the file:
    // it holds a write lock on <root>/server-<dev>-<inode>/lock.
    bool wineServerRunning() const;

    // Writes bytes to a temporary file in the same folder, flushes it, keeps
    // the old file's permissions and renames it over the file. The old file
    // stays whole on any failure. Call with the lock held.
    bool replace(const std::string& bytes) const;

    // Called after the temporary file is complete and flushed, just before
    // the rename (for tests that simulate a crash at that point).
    std::function<void()> beforeRename;

    const std::filesystem::path& file() const { return file_; }

private:
    void removeStaleTemporaries() const;

    std::filesystem::path file_;
    std::filesystem::path serverRoot_;
};

}  // namespace sysaccess::registry
