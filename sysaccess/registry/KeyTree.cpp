#include "sysaccess/registry/KeyTree.h"

#include "sysaccess/registry/KeyPath.h"

#include <algorithm>
#include <atomic>

namespace sysaccess::registry {

namespace {
// Process-wide, so that ids of a reloaded tree never meet those of the old one.
KeyId newId() {
    static std::atomic<KeyId> next{1};
    return next++;
}
}  // namespace

KeyTree::KeyTree(Family order) : order_(order), root_(std::make_unique<Key>()) {
    root_->id = newId();
    byId_[root_->id] = root_.get();
}

Key* KeyTree::find(KeyId id) const {
    const auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

Key* KeyTree::child(const Key& parent, std::string_view name) {
    const auto it = parent.byUpperName.find(upperAscii(name));
    return it == parent.byUpperName.end() ? nullptr : it->second;
}

bool KeyTree::before(const Key& a, const Key& b) const {
    if (order_ == Family::NT) return lessUpper(a.name, b.name);
    return a.created < b.created;
}

Key& KeyTree::ensureChild(Key& parent, std::string_view name) {
    if (Key* existing = child(parent, name)) return *existing;
    auto key = std::make_unique<Key>();
    key->name = std::string(name);
    key->parent = &parent;
    key->id = newId();
    key->created = nextCreated_++;
    Key& made = *key;
    auto& kids = parent.children;
    const auto at = std::upper_bound(kids.begin(), kids.end(), key,
                                     [this](const auto& a, const auto& b) { return before(*a, *b); });
    kids.insert(at, std::move(key));
    parent.byUpperName[upperAscii(name)] = &made;
    byId_[made.id] = &made;
    return made;
}

void KeyTree::forget(Key& key) {
    byId_.erase(key.id);
    for (auto& c : key.children) forget(*c);
}

void KeyTree::remove(Key& key) {
    Key* parent = key.parent;
    if (!parent) return;  // the root stays
    forget(key);
    parent->byUpperName.erase(upperAscii(key.name));
    auto& kids = parent->children;
    kids.erase(std::find_if(kids.begin(), kids.end(), [&](const auto& c) { return c.get() == &key; }));
}

void KeyTree::sortBelow(Key& key) {
    std::stable_sort(key.children.begin(), key.children.end(),
                     [this](const auto& a, const auto& b) { return before(*a, *b); });
    for (auto& c : key.children) sortBelow(*c);
}

void KeyTree::setOrder(Family order) {
    if (order == order_) return;
    order_ = order;
    sortBelow(*root_);
}

std::vector<std::string> KeyTree::pathOf(const Key& key) {
    std::vector<std::string> path;
    for (const Key* k = &key; k->parent; k = k->parent) path.push_back(k->name);
    std::reverse(path.begin(), path.end());
    return path;
}

bool KeyTree::hasHubAtOrBelow(const Key& key) {
    if (key.hub) return true;
    return std::any_of(key.children.begin(), key.children.end(),
                       [](const auto& c) { return hasHubAtOrBelow(*c); });
}

}  // namespace sysaccess::registry
