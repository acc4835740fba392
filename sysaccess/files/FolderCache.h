#pragma once
// How full Windows folder paths ("C:\windows\inf\") resolve on the host, kept
// between searches. Resolving a path looks up each of its components and then
// resolves every link on the way to check that the folder lies within the
// drives; a removal run searches the same few folders thousands of times.
//
// A resolution is kept only when every folder from the drive's root down to
// the folder is a real folder (no link below the root) and was already old
// when looked at, and is used again only while none of them has changed:
// the root is looked at through its path (which may be a link), each folder
// below it through a handle held on it. While a folder is unchanged, its
// names lead to the same entries, so while the whole chain is unchanged the
// path leads to the same folders and looks them up the same way.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sysaccess/files/FolderStamp.h"

namespace sysaccess::files {

class FolderCache {
public:
    struct Folder {
        std::filesystem::path host;
        bool contained = false;              // within the drives
        std::optional<FolderStamp> stamp;    // of the host folder, when kept
    };

    FolderCache() = default;
    FolderCache(const FolderCache&) = delete;
    FolderCache& operator=(const FolderCache&) = delete;
    FolderCache(FolderCache&&) = default;
    FolderCache& operator=(FolderCache&&) = default;

    // The kept resolution of `winFolder`, while still current; else nullptr
    // (and it is dropped).
    const Folder* find(const std::string& winFolder);
    // Keeps `folder`, resolved from `winFolder` on the drive whose folder is
    // `root` by `resolve` (called again once the chain is looked at, so that
    // what is kept is no older than the stamps); nullptr when it cannot be
    // kept.
    template <typename Resolve>
    const Folder* keep(const std::string& winFolder, const std::filesystem::path& root, const Folder& folder,
                       Resolve&& resolve) {
        Chain chain;
        if (!look(root, folder.host, chain)) return nullptr;
        Folder again = resolve();
        if (again.host != folder.host || again.contained != folder.contained) return nullptr;
        again.stamp = chain.stamps.back();
        auto& kept = kept_[winFolder];
        kept = Kept{std::move(again), std::move(chain)};
        return &kept.folder;
    }
    // A file of `hostFolder` was deleted by us, taking the folder's stamp
    // from `before` to `after`: resolutions current before stay current.
    // Any other change of a folder shows as a changed stamp.
    void deleted(const std::string& hostFolder, const std::optional<FolderStamp>& before,
                 const std::optional<FolderStamp>& after);

private:
    // An O_PATH handle on a folder, closed with it.
    class Handle {
    public:
        explicit Handle(int fd = -1) : fd_(fd) {}
        Handle(Handle&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
        Handle& operator=(Handle&& o) noexcept;
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        ~Handle();
        std::optional<FolderStamp> stamp() const;

    private:
        int fd_;
    };
    struct Chain {
        std::string root;                  // the drive's folder, as configured
        std::vector<Handle> handles;       // each folder below the root
        std::vector<FolderStamp> stamps;   // the root's, then each handle's
        bool current() const;
    };
    struct Kept {
        Folder folder;
        Chain chain;
    };
    // Opens and stamps the chain from `root` down to `host`; false when one
    // of them is missing, a link, or changed too recently.
    static bool look(const std::filesystem::path& root, const std::filesystem::path& host, Chain& chain);

    std::map<std::string, Kept> kept_;  // by Windows folder path
};

}  // namespace sysaccess::files
