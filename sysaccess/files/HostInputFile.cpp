#include "sysaccess/files/HostInputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "sysaccess/RuntimeError.h"

namespace sysaccess::files {
namespace {

[[noreturn]] void accessError() { raise(err::PathFileAccess, "Path/File access error"); }

class HostInputFile final : public InputFile {
public:
    HostInputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~HostInputFile() override { ::close(fd_); }
    HostInputFile(const HostInputFile&) = delete;
    HostInputFile& operator=(const HostInputFile&) = delete;

    std::uint64_t size() const override { return size_; }

    std::size_t read(char* into, std::size_t capacity) override {
        for (;;) {
            const ssize_t n = ::read(fd_, into, capacity);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) accessError();
        }
    }

    void seek(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
            ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
            accessError();
    }

private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<InputFile> openHostFile(const std::filesystem::path& host) {
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) accessError();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        accessError();
    }
    // Plain files do not use the flag; it is cleared all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<HostInputFile>(fd, static_cast<std::uint64_t>(st.st_size));
}

}  // namespace sysaccess::files
