#include "sysaccess/registry/Registry.h"

#include "sysaccess/registry/HubOverlay.h"
#include "sysaccess/registry/KeyPath.h"
#include "sysaccess/registry/WriteFailure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <unistd.h>

namespace sysaccess::registry {

namespace {

constexpr const char* kNtMarkerKey = "Software\\Microsoft\\Windows NT";

std::vector<std::string> toStrings(const std::vector<std::string_view>& parts) {
    return {parts.begin(), parts.end()};
}

// Keys no deletion may take: the root, and the host's root hubs with every
// key above them.
bool mustStay(const Key& key) { return !key.parent || KeyTree::hasHubAtOrBelow(key); }

void appendUtf8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Reads a quoted string at `pos` (on the opening quote) with Wine's escapes:
// \\ \" \a \b \e \f \n \r \t \v, \x and up to four hex digits, \ and up
// to three octal digits. Leaves `pos` after the closing quote; nullopt when
// the string is not closed.
std::optional<std::string> quoted(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\' || pos + 1 >= line.size()) {
            out.push_back(c);
            continue;
        }
        const char e = line[++pos];
        const auto digits = [&](int base, int most) {
            unsigned v = 0;
            int n = 0;
            while (n < most && pos + 1 < line.size()) {
                const char d = line[pos + 1];
                int digit = -1;
                if (d >= '0' && d <= '9') digit = d - '0';
                else if (base == 16 && d >= 'a' && d <= 'f') digit = d - 'a' + 10;
                else if (base == 16 && d >= 'A' && d <= 'F') digit = d - 'A' + 10;
                if (digit < 0 || digit >= base) break;
                v = v * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
                ++pos, ++n;
            }
            return v;
        };
        switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'e': out.push_back('\x1b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            case 'x': appendUtf8(out, digits(16, 4)); break;
            default:
                if (e >= '0' && e <= '7') {
                    --pos;
                    appendUtf8(out, digits(8, 3));
                } else {
                    out.push_back(e);  // \\, \" and anything unknown stand for themselves
                }
        }
    }
    return std::nullopt;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The string value `name` among the value lines of one section's text.
std::optional<std::string> findString(const std::string& raw, std::string_view name) {
    // Join the continuation lines first: a line ending in '\\' goes on.
    std::vector<std::string> lines{""};
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n') {
            std::string& last = lines.back();
            if (!last.empty() && last.back() == '\r') last.pop_back();
            if (!last.empty() && last.back() == '\\') {
                last.pop_back();
                while (i + 1 < raw.size() && (raw[i + 1] == ' ' || raw[i + 1] == '\t')) ++i;
                continue;
            }
            lines.emplace_back();
        } else {
            lines.back().push_back(raw[i]);
        }
    }
    const bool wantDefault = name.empty() || name == "@";
    for (const auto& line : lines) {
        std::size_t pos = 0;
        std::string valueName;
        if (line.rfind("@=", 0) == 0) {
            if (!wantDefault) continue;
            pos = 1;
        } else {
            auto n = quoted(line, pos);
            if (!n || wantDefault || !sameName(*n, name)) continue;
            if (pos >= line.size() || line[pos] != '=') continue;
        }
        ++pos;  // past '='
        if (line.compare(pos, 7, "str(2):") == 0) pos += 7;
        if (auto value = quoted(line, pos)) return value;
        return std::nullopt;  // a value of that name, but no string
    }
    return std::nullopt;
}

}  // namespace

Registry::Registry(Options options) : options_(std::move(options)) {
    if (options_.wineServerRoot.empty())
        options_.wineServerRoot = "/tmp/.wine-" + std::to_string(::getuid());
    if (options_.wineTempDirs.empty()) {
        if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp) options_.wineTempDirs.emplace_back(tmp);
        options_.wineTempDirs.emplace_back("/tmp");
    }
    if (!options_.systemReg.empty()) {
        store_.emplace(options_.systemReg, options_.wineServerRoot, options_.wineTempDirs);
        store_->beforeRename = options_.beforeRename;
    }
    Loaded loaded = load(Family::Win9x);
    file_ = std::move(loaded.file);
    stamp_ = loaded.stamp;
    problem_ = loaded.problem;
    tree_ = std::move(loaded.tree);
    refreshFamily();
}

Registry::Loaded Registry::load(Family order) const {
    Loaded out;
    if (store_) {
        auto content = store_->read();
        out.stamp = content.stamp;
        out.file = parseRegFile(content.bytes);
        if (content.bytes.empty() && content.readable) {
            out.file = RegFile{};  // a missing or empty file is an empty registry
        } else if (!content.readable || !out.file.valid) {
            // Never overwrite a file this store does not understand.
            out.problem = content.readable ? FileProblem{FileProblem::Kind::Foreign, 0}
                                           : FileProblem{FileProblem::Kind::Unreadable, content.error};
            out.file.sections.clear();
        }
    }
    out.tree = std::make_unique<KeyTree>(order);
    KeyTree& tree = *out.tree;
    for (std::size_t i = 0; i < out.file.sections.size(); ++i) {
        const auto& path = out.file.sections[i].path;
        if (path.empty()) continue;  // malformed header: kept in the file, names no key
        Key* k = &tree.root();
        for (const auto& part : path) k = &tree.ensureChild(*k, part);
        k->sections.push_back(i);
    }
    const auto hubs = rootHubKeyNames(options_.usbDevicesDir);
    if (!hubs.empty()) {
        Key* parent = &tree.root();
        const auto parts = splitKeyPath(kRootHubPath);
        for (const auto& part : *parts) parent = &tree.ensureChild(*parent, part);
        for (const auto& name : hubs) tree.ensureChild(*parent, name).hub = true;
    }
    return out;
}

bool Registry::marksNt(const Key* marker) const {
    if (!marker) return false;
    if (!store_) return true;
    // Wine's server adds "...\Windows NT\CurrentVersion\Perflib\009" to
    // every prefix it runs, 9x-family images included: that key alone marks
    // nothing.
    bool other = false;
    KeyTree::forEach(*marker, [&](const Key& k) {
        if (k.sections.empty()) return;
        const auto path = KeyTree::pathOf(k);
        if (!(path.size() >= 5 && sameName(path[3], "CurrentVersion") && sameName(path[4], "Perflib"))) other = true;
    });
    return other;
}

void Registry::refreshFamily() {
    family_ = options_.family.value_or(marksNt(lookup(kNtMarkerKey)) ? Family::NT : Family::Win9x);
    tree_->setOrder(family_);
}

void Registry::reload() {
    Loaded fresh = load(family_);
    // Handles follow their keys by path; a key gone from the file takes its handles with it.
    handles_.rebind([&](KeyId id) -> std::optional<KeyId> {
        const Key* old = tree_->find(id);
        if (!old) return std::nullopt;
        const Key* now = fresh.tree->descend(fresh.tree->root(), KeyTree::pathOf(*old));
        return now ? std::optional<KeyId>(now->id) : std::nullopt;
    });
    file_ = std::move(fresh.file);
    stamp_ = fresh.stamp;
    problem_ = fresh.problem;
    tree_ = std::move(fresh.tree);
}

Key* Registry::resolve(HKEY32 handle) const {
    if (handle == HKEY_LOCAL_MACHINE) return &tree_->root();
    const auto id = handles_.lookup(handle);
    return id ? tree_->find(*id) : nullptr;
}

Key* Registry::lookup(const std::string& path) const {
    const auto parts = splitKeyPath(path);
    return parts ? tree_->descend(tree_->root(), *parts) : nullptr;
}

long Registry::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    if (!result) return status::InvalidParameter;
    *result = 0;
    Key* base = resolve(key);
    if (!base) return status::InvalidHandle;
    const auto parts = splitKeyPath(subKey);
    Key* target = parts ? tree_->descend(*base, *parts) : nullptr;
    if (!target) return status::FileNotFound;
    *result = handles_.open(target->id);
    return status::Success;
}

long Registry::RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) {
    const Key* base = resolve(key);
    if (!base) return status::InvalidHandle;
    if (index < 0 || !name) return status::InvalidParameter;
    if (static_cast<std::size_t>(index) >= base->children.size()) return status::NoMoreItems;
    const std::string& found = base->children[static_cast<std::size_t>(index)]->name;
    if (found.size() + 1 > capacity) return status::MoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    return status::Success;
}

long Registry::RegCloseKey(HKEY32 key) {
    if (key == HKEY_LOCAL_MACHINE) return status::Success;
    return handles_.close(key) ? status::Success : status::InvalidHandle;
}

long Registry::deletable(const Key& key) const {
    if (mustStay(key)) return status::AccessDenied;
    if (family_ == Family::NT && !key.children.empty()) return status::AccessDenied;
    return status::Success;
}

long Registry::admit(HKEY32 key, const std::string& subKey) {
    // While the file is not understood no key of it is known, so no handle
    // or name can be judged: every deletion fails for that reason, unless
    // the file has been put right meanwhile.
    if (store_ && problem_.kind != FileProblem::Kind::None) {
        if (store_->stamp() != stamp_) reload();
        raiseFileProblem();
    }
    if (!resolve(key)) return status::InvalidHandle;
    const auto parts = splitKeyPath(subKey);
    if (!parts) return status::FileNotFound;
    // An empty name would delete the key behind the handle itself; the
    // programs never mean that, so it is refused rather than guessed at.
    if (parts->empty()) return status::InvalidParameter;
    return status::Success;
}

long Registry::checkDeletion(HKEY32 key, const std::string& subKey) {
    if (const long s = admit(key, subKey); s != status::Success) return s;
    // Judged by the keys as last read: what a dry run has been shown.
    Key* base = resolve(key);
    if (!base) return status::InvalidHandle;
    const Key* target = tree_->descend(*base, *splitKeyPath(subKey));
    if (!target) return status::FileNotFound;
    return mustStay(*target) ? status::AccessDenied : status::Success;
}

void Registry::checkWriteBack() const {
    if (store_ && store_->wineServerRunning()) failure::inUseByWine();
}

long Registry::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    if (const long s = admit(key, subKey); s != status::Success) return s;
    const auto parts = splitKeyPath(subKey);
    if (store_) return deleteFromFile(key, toStrings(*parts));

    Key* target = tree_->descend(*resolve(key), *parts);
    if (!target) return status::FileNotFound;
    if (const long s = deletable(*target); s != status::Success) return s;
    tree_->remove(*target);
    return status::Success;
}

void Registry::raiseFileProblem() const {
    switch (problem_.kind) {
        case FileProblem::Kind::Unreadable: failure::cannotRead(store_->file(), problem_.error);
        case FileProblem::Kind::Foreign: failure::notARegistry(store_->file());
        case FileProblem::Kind::None: break;
    }
}

long Registry::deleteFromFile(HKEY32 handle, const std::vector<std::string>& parts) {
    // While the file is as last read, a key that is not there or may not go
    // is answered without the lock (the remover tries many such deletions).
    if (store_->stamp() == stamp_) {
        const Key* known = tree_->descend(*resolve(handle), parts);
        if (!known) return status::FileNotFound;
        if (const long s = deletable(*known); s != status::Success) return s;
    }
    int error = 0;
    const auto lock = store_->lock(error);
    if (!lock) {
        if (error == EWOULDBLOCK) failure::lockedByAnotherWriter(store_->file());
        failure::cannotWrite(store_->file(), error);  // no lock file can be made beside it
    }
    if (store_->stamp() != stamp_) {
        reload();
        raiseFileProblem();
    }
    Key* base = resolve(handle);
    if (!base) return status::InvalidHandle;
    Key* target = tree_->descend(*base, parts);
    if (!target) return status::FileNotFound;
    if (const long s = deletable(*target); s != status::Success) return s;
    // A running server keeps its own copy and would write it back on exit.
    if (store_->wineServerRunning()) failure::inUseByWine();

    std::vector<bool> drop(file_.sections.size(), false);
    std::size_t firstDropped = file_.sections.size();
    KeyTree::forEach(*target, [&](const Key& k) {
        for (std::size_t slot : k.sections) {
            drop[slot] = true;
            firstDropped = std::min(firstDropped, slot);
        }
    });

    // A reload meets a key where the file first names it, under that
    // spelling, and the 9x family numbers subkeys in that order. When the
    // dropped sections named the parent first, the next kept section must
    // name it the same way; otherwise (the parent would vanish, come later,
    // or change its spelling) it gets a section of its own in the freed place.
    Key* parent = target->parent;
    std::string parentSection;
    if (parent->parent && firstDropped < drop.size() && parentNeedsSection(KeyTree::pathOf(*parent), drop, firstDropped))
        parentSection = emptyKeySection(KeyTree::pathOf(*parent), static_cast<std::int64_t>(std::time(nullptr)));

    if (firstDropped < drop.size()) {
        std::string text = file_.header;
        for (std::size_t i = 0; i < file_.sections.size(); ++i) {
            if (i == firstDropped && !parentSection.empty()) text += parentSection;
            if (!drop[i] && file_.sections[i].live) text += file_.sections[i].raw;
        }
        if (!store_->replace(text, error)) failure::cannotWrite(store_->file(), error);
        for (std::size_t i = 0; i < drop.size(); ++i)
            if (drop[i]) file_.sections[i].live = false;
        if (!parentSection.empty()) {
            file_.sections[firstDropped] = {std::move(parentSection), KeyTree::pathOf(*parent), true};
            // Before the parent's own later sections, so that theirs are read last.
            parent->sections.insert(parent->sections.begin(), firstDropped);
        }
        stamp_ = store_->stamp();
    }
    tree_->remove(*target);
    return status::Success;
}

bool Registry::parentNeedsSection(const std::vector<std::string>& parent, const std::vector<bool>& drop,
                                  std::size_t firstDropped) const {
    const auto names = [&](const RegSection& s, bool sameSpelling) {
        if (s.path.size() < parent.size()) return false;
        for (std::size_t i = 0; i < parent.size(); ++i)
            if (sameSpelling ? s.path[i] != parent[i] : upperAscii(s.path[i]) != upperAscii(parent[i])) return false;
        return true;
    };
    for (std::size_t i = 0; i < firstDropped; ++i)
        if (file_.sections[i].live && names(file_.sections[i], false)) return false;  // named before: unchanged
    for (std::size_t i = firstDropped + 1; i < file_.sections.size(); ++i) {
        const RegSection& s = file_.sections[i];
        if (!s.live || drop[i] || s.path.empty()) continue;
        return !names(s, true);
    }
    return true;
}

void Registry::createKey(const std::string& path) {
    if (store_) throw std::logic_error("createKey: keys of a file-backed registry change only by deletion");
    const auto parts = splitKeyPath(path);
    if (!parts || parts->empty()) throw std::invalid_argument("createKey: bad key path \"" + path + "\"");
    Key* k = &tree_->root();
    for (const auto& part : *parts) k = &tree_->ensureChild(*k, part);
    refreshFamily();
}

bool Registry::exists(const std::string& path) const { return lookup(path) != nullptr; }

std::vector<std::string> Registry::subkeys(const std::string& path) const {
    std::vector<std::string> names;
    if (const Key* k = lookup(path))
        for (const auto& c : k->children) names.push_back(c->name);
    return names;
}

std::optional<std::string> Registry::stringValue(const std::string& keyPath, const std::string& name) const {
    const Key* key = lookup(keyPath);
    if (!key) return std::nullopt;
    for (auto slot = key->sections.rbegin(); slot != key->sections.rend(); ++slot) {
        if (*slot >= file_.sections.size() || !file_.sections[*slot].live) continue;
        if (auto value = findString(file_.sections[*slot].raw, name)) return value;
    }
    return std::nullopt;
}

}  // namespace sysaccess::registry
