#include "sysaccess/registry/RegFileStore.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace sysaccess::registry {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTempPrefix = ".system.reg.tmp-";

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { int f = fd_; fd_ = -1; return f; }

private:
    int fd_;
};

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// True when some process holds a lock on any part of the open file.
bool lockHeld(int fd) {
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 0;
    // An open-file-description query also sees classic locks of this very
    // process; fall back to the classic query where OFD locks are missing.
    if (::fcntl(fd, F_OFD_GETLK, &query) != 0) {
        query = {};
        query.l_type = F_WRLCK;
        query.l_whence = SEEK_SET;
        if (::fcntl(fd, F_GETLK, &query) != 0) return true;  // cannot tell: assume running
    }
    return query.l_type != F_UNLCK;
}

}  // namespace

RegFileStore::RegFileStore(fs::path file, fs::path wineServerRoot, std::vector<fs::path> wineTempDirs)
    : file_(fs::absolute(file)), serverRoot_(std::move(wineServerRoot)), tempDirs_(std::move(wineTempDirs)) {}

FileStamp RegFileStore::stamp() const {
    struct stat st {};
    if (::stat(file_.c_str(), &st) != 0) return {};
    return stampOf(st);
}

RegFileStore::Content RegFileStore::read() const {
    Content c;
    Fd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        c.readable = errno == ENOENT;
        c.error = c.readable ? 0 : errno;
        return c;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        c.readable = false;
        c.error = errno;
        return c;
    }
    c.stamp = stampOf(st);
    c.bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (true) {
        if (done == c.bytes.size()) c.bytes.resize(c.bytes.size() + 65536);  // grew meanwhile
        const ssize_t n = ::read(fd.get(), c.bytes.data() + done, c.bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            c.readable = false;
            c.error = errno;
            c.bytes.clear();
            return c;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    c.bytes.resize(done);
    return c;
}

RegFileStore::Lock::~Lock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the flock
}

std::optional<RegFileStore::Lock> RegFileStore::lock(int& error) const {
    const fs::path lockPath = file_.string() + ".lock";
    Fd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        error = errno;
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
            error = errno == EINTR ? EWOULDBLOCK : errno;
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    error = 0;
    return Lock(fd.release());
}

std::string wineServerFolderName(const fs::path& prefix) {
    struct stat st {};
    if (::stat(prefix.c_str(), &st) != 0) return {};
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    return name;
}

std::vector<fs::path> RegFileStore::serverFolders() const {
    const fs::path prefix = file_.parent_path();
    const std::string name = wineServerFolderName(prefix);
    if (name.empty()) return {};
    std::vector<fs::path> folders{serverRoot_ / name};
    // The newer layout: the prefix names a folder of the temporary folder.
    std::string base;
    {
        Fd fd(::open((prefix / "wineserver").c_str(), O_RDONLY | O_CLOEXEC));
        char buf[256];
        const ssize_t n = fd.get() >= 0 ? ::read(fd.get(), buf, sizeof buf) : -1;
        if (n > 0) base.assign(buf, static_cast<std::size_t>(n));
    }
    while (!base.empty() && (base.back() == '\n' || base.back() == '\r' || base.back() == ' ')) base.pop_back();
    // Only a plain name in the temporary folder is followed.
    if (base.empty() || base == "." || base == ".." || base.find('/') != std::string::npos ||
        base.find('\0') != std::string::npos)
        return folders;
    for (const auto& temp : tempDirs_)
        if (!temp.empty()) folders.push_back(temp / base / name);
    return folders;
}

bool RegFileStore::wineServerRunning() const {
    for (const auto& folder : serverFolders()) {
        const fs::path lockFile = folder / "lock";
        Fd fd(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) {
            if (errno == ENOENT || errno == ENOTDIR) continue;  // no server folder: no server there
            return true;                                         // cannot tell: assume running
        }
        if (lockHeld(fd.get())) return true;
    }
    return false;
}

void RegFileStore::removeStaleTemporaries() const {
    // Only lock holders make temporaries, so any left now is from a writer
    // that died before its rename.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(file_.parent_path(), ec))
        if (entry.path().filename().string().starts_with(kTempPrefix)) fs::remove(entry.path(), ec);
}

bool RegFileStore::replace(const std::string& bytes, int& error) const {
    removeStaleTemporaries();
    std::string tmpl = (file_.parent_path() / (std::string(kTempPrefix) + "XXXXXX")).string();
    Fd fd(::mkostemp(tmpl.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        error = errno;
        return false;
    }
    const fs::path tmp = tmpl;
    auto fail = [&] {
        error = errno ? errno : EIO;
        std::error_code ec;
        fs::remove(tmp, ec);
        return false;
    };
    struct stat old {};
    const mode_t mode = ::stat(file_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    errno = 0;
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) return fail();
    if (::close(fd.release()) != 0) return fail();
    if (beforeRename) beforeRename();
    if (::rename(tmp.c_str(), file_.c_str()) != 0) return fail();
    // Make the rename itself durable.
    Fd dir(::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    error = 0;
    return true;
}

}  // namespace sysaccess::registry
