#include "sysaccess/files/FolderCache.h"

#include <fcntl.h>
#include <unistd.h>

namespace sysaccess::files {

namespace fs = std::filesystem;

FolderCache::Handle& FolderCache::Handle::operator=(Handle&& o) noexcept {
    if (this != &o) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = o.fd_;
        o.fd_ = -1;
    }
    return *this;
}

FolderCache::Handle::~Handle() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<FolderStamp> FolderCache::Handle::stamp() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
    return FolderStamp::of(st);
}

bool FolderCache::Chain::current() const {
    if (FolderStamp::ofPath(root) != stamps.front()) return false;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        if (handles[i].stamp() != stamps[i + 1]) return false;
    }
    return true;
}

bool FolderCache::look(const fs::path& root, const fs::path& host, Chain& chain) {
    const fs::path below = host.lexically_relative(root);
    if (below.empty() || *below.begin() == "..") return false;
    const std::int64_t readAt = FolderStamp::now();
    chain.root = root.string();
    const auto rootStamp = FolderStamp::ofPath(chain.root);
    if (!rootStamp || !rootStamp->settledAt(readAt)) return false;
    chain.stamps.push_back(*rootStamp);
    fs::path step = root;
    for (const fs::path& part : below) {
        if (part == "." || part.empty()) continue;
        step /= part;
        // Without following a link: a link below the root is never kept, as
        // where it leads may change without any folder of the chain changing.
        Handle h(::open(step.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        const auto stamp = h.stamp();
        if (!stamp || !stamp->settledAt(readAt)) return false;
        chain.handles.push_back(std::move(h));
        chain.stamps.push_back(*stamp);
    }
    return true;
}

const FolderCache::Folder* FolderCache::find(const std::string& winFolder) {
    auto it = kept_.find(winFolder);
    if (it == kept_.end()) return nullptr;
    if (it->second.chain.current()) return &it->second.folder;
    kept_.erase(it);
    return nullptr;
}

void FolderCache::deleted(const std::string& hostFolder, const std::optional<FolderStamp>& before,
                          const std::optional<FolderStamp>& after) {
    for (auto it = kept_.begin(); it != kept_.end();) {
        Kept& k = it->second;
        if (k.folder.host.string() != hostFolder) {
            ++it;
        } else if (before && after && k.chain.stamps.back() == *before) {
            k.chain.stamps.back() = *after;
            k.folder.stamp = after;
            ++it;
        } else {
            it = kept_.erase(it);
        }
    }
}

}  // namespace sysaccess::files
