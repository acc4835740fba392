#include "sysaccess/files/DriveMap.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "sysaccess/files/Names.h"
#include "sysaccess/text/CodePage.h"

namespace sysaccess::files {
namespace {

namespace fs = std::filesystem;

char upperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A path on a drive, reduced to its components: no ".", no "..", no empties.
struct Location {
    char drive;
    std::vector<std::string> parts;
};

void append(Location& loc, std::string_view rest, unsigned cp) {
    while (!rest.empty()) {
        std::size_t cut = text::firstSeparator(rest, cp);
        std::string_view part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!loc.parts.empty()) loc.parts.pop_back();
            continue;
        }
        loc.parts.emplace_back(part);
    }
}

// `base` is consulted for paths that do not say their drive or folder; it
// must itself be absolute ("C:\x"). An empty base admits absolute paths only.
std::optional<Location> locate(std::string_view winPath, std::string_view base, unsigned cp) {
    if (winPath.find('\0') != std::string_view::npos) return std::nullopt;
    std::string_view rest = winPath;
    // A separator is a character of its own, so the byte after it starts one too.
    auto separatorFirst = [&] { return !rest.empty() && (rest[0] == '\\' || rest[0] == '/'); };
    if (separatorFirst() && rest.size() >= 2 && (rest[1] == '\\' || rest[1] == '/'))
        return std::nullopt;  // UNC and device paths

    auto fromBase = [&]() -> std::optional<Location> {
        if (base.empty()) return std::nullopt;
        return locate(base, {}, cp);
    };

    if (rest.size() >= 2 && isLetter(rest[0]) && rest[1] == ':') {
        Location loc{upperLetter(rest[0]), {}};
        rest.remove_prefix(2);
        if (!separatorFirst()) {
            // Drive-relative: the current directory when it is on that drive.
            if (auto cur = fromBase(); cur && cur->drive == loc.drive) loc = *cur;
        }
        append(loc, rest, cp);
        return loc;
    }
    auto cur = fromBase();
    if (!cur) return std::nullopt;
    if (separatorFirst()) cur->parts.clear();
    append(*cur, rest, cp);
    return cur;
}

// The entry of `folder` that `name` (UTF-8) stands for: the exact spelling
// when it exists, else the first case-insensitive match in name order.
// Multi-byte UTF-8 characters hold no ASCII bytes, so comparing ASCII letters
// regardless of case here is what comparing them in the code page would be.
std::optional<std::string> findEntry(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder / name, ec))) return name;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, name) && (!best || lessIgnoreCase(entry, *best))) best = entry;
    }
    return best;
}

fs::path resolvedForm(const fs::path& p) {
    std::error_code ec;
    // An existing path resolves in one call; the weak form, which looks for
    // the longest existing part first, is for the rest.
    fs::path r;
    if (char* real = ::realpath(p.c_str(), nullptr)) {
        r = real;
        std::free(real);
    } else {
        r = fs::weakly_canonical(fs::absolute(p, ec), ec);
    }
    if (ec) r = fs::absolute(p, ec).lexically_normal();
    if (!r.has_filename() && r.has_relative_path()) r = r.parent_path();
    return r;
}

// Number of components of `root` when it contains `p`, else nullopt.
std::optional<std::size_t> depthWithin(const fs::path& root, const fs::path& p) {
    auto [r, q] = std::mismatch(root.begin(), root.end(), p.begin(), p.end());
    if (r != root.end()) return std::nullopt;
    return static_cast<std::size_t>(std::distance(root.begin(), root.end()));
}

}  // namespace

DriveMap DriveMap::fromPrefix(const fs::path& prefix, unsigned codePage) {
    DriveMap map(codePage);
    const fs::path devices = prefix / "dosdevices";
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const fs::path link = devices / std::string{letter, ':'};
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(link, ec))) continue;
        fs::path target = fs::read_symlink(link, ec);
        if (ec) continue;
        map.set(letter, target.is_absolute() ? target : devices / target);
    }
    return map;
}

void DriveMap::set(char letter, fs::path hostRoot) {
    if (!isLetter(letter)) return;
    std::error_code ec;
    fs::path root = fs::absolute(hostRoot, ec).lexically_normal();
    if (!root.has_filename() && root.has_relative_path()) root = root.parent_path();
    drives_[upperLetter(letter) - 'A'] = Drive{root, resolvedForm(root)};
}

bool DriveMap::isFullPath(std::string_view winPath) {
    return winPath.size() >= 3 && isLetter(winPath[0]) && winPath[1] == ':' &&
           (winPath[2] == '\\' || winPath[2] == '/');
}

std::optional<fs::path> DriveMap::rootOf(std::string_view winPath) const {
    const Drive* d = isFullPath(winPath) ? drive(winPath[0]) : nullptr;
    if (!d) return std::nullopt;
    return d->root;
}

bool DriveMap::has(char letter) const { return drive(letter) != nullptr; }

const DriveMap::Drive* DriveMap::drive(char letter) const {
    if (!isLetter(letter)) return nullptr;
    const auto& d = drives_[upperLetter(letter) - 'A'];
    return d ? &*d : nullptr;
}

std::optional<fs::path> DriveMap::toHost(std::string_view winPath, std::string_view currentDir) const {
    auto loc = locate(winPath, currentDir, codePage_);
    if (!loc) return std::nullopt;
    const Drive* d = drive(loc->drive);
    if (!d) return std::nullopt;

    fs::path host = d->root;
    bool existing = true;
    for (const std::string& part : loc->parts) {
        auto name = text::ansiToUtf8(part, codePage_);
        if (!name) return std::nullopt;
        if (existing) {
            auto entry = findEntry(host, *name);
            existing = entry.has_value();
            host /= entry.value_or(*name);
        } else {
            host /= *name;
        }
    }
    return host;
}

std::optional<std::string> DriveMap::toWindows(const fs::path& host) const {
    const fs::path p = resolvedForm(host);
    char letter = 'Z';
    fs::path root = "/";
    std::size_t bestDepth = 0;
    for (char l = 'A'; l <= 'Z'; ++l) {
        const Drive* d = drive(l);
        if (!d) continue;
        auto depth = depthWithin(d->resolved, p);
        if (depth && (*depth > bestDepth || (*depth == bestDepth && l < letter))) {
            letter = l;
            root = d->resolved;
            bestDepth = *depth;
        }
    }
    std::string out{letter, ':'};
    auto it = p.begin();
    for (auto r = root.begin(); r != root.end() && it != p.end(); ++r) ++it;
    for (; it != p.end(); ++it) {
        auto name = text::utf8ToAnsi(it->string(), codePage_);
        if (!name) return std::nullopt;
        out += '\\' + *name;
    }
    return out.size() == 2 ? out + '\\' : out;
}

bool DriveMap::contains(const fs::path& host) const {
    const fs::path p = resolvedForm(host);
    return std::any_of(drives_.begin(), drives_.end(),
                       [&](const auto& d) { return d && depthWithin(d->resolved, p).has_value(); });
}

}  // namespace sysaccess::files
