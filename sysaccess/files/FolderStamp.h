#pragma once
// What changes whenever an entry of a folder is added, removed or renamed,
// or the folder itself is moved: its identity and its two change times.
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace sysaccess::files {

struct FolderStamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const FolderStamp&) const = default;

    // Of a folder; nullopt for anything else.
    static std::optional<FolderStamp> of(const struct stat& st) {
        if (!S_ISDIR(st.st_mode)) return std::nullopt;
        auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
        return FolderStamp{st.st_dev, st.st_ino, ns(st.st_mtim), ns(st.st_ctim)};
    }
    static std::optional<FolderStamp> ofPath(const std::string& folder) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0) return std::nullopt;
        return of(st);
    }

    // Timestamps of some file systems are as coarse as two seconds: a folder
    // changed more recently than this before it was looked at may change
    // again without its stamp moving, so what was read of it is not kept.
    bool settledAt(std::int64_t readAt) const {
        constexpr std::int64_t SettledAfter = 3'000'000'000;
        return readAt - std::max(modified, changed) >= SettledAfter;
    }
    static std::int64_t now() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::system_clock::now().time_since_epoch()).count();
    }
};

}  // namespace sysaccess::files
