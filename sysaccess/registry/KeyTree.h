#pragma once
// The in-memory key tree: every key with its subkeys in enumeration order.
// Keys carry a unique id that is never reused, so a handle to a deleted key
// stays dead even when a key of the same name is made again.
#include "sysaccess/registry/Family.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sysaccess::registry {

using KeyId = std::uint64_t;

struct Key {
    std::string name;  // stored spelling
    Key* parent = nullptr;
    KeyId id = 0;
    std::uint64_t created = 0;            // creation sequence: the 9x order
    bool hub = false;                     // shown by the hub overlay, read-only
    std::vector<std::size_t> sections;    // slots of its own sections in the file model
    std::vector<std::unique_ptr<Key>> children;           // enumeration order
    std::unordered_map<std::string, Key*> byUpperName;    // lookup index
};

class KeyTree {
public:
    explicit KeyTree(Family order);
    KeyTree(const KeyTree&) = delete;
    KeyTree& operator=(const KeyTree&) = delete;

    Key& root() { return *root_; }
    const Key& root() const { return *root_; }

    Key* find(KeyId id) const;
    static Key* child(const Key& parent, std::string_view name);
    // Follows already split components; nullptr when one is missing.
    template <class Parts>
    Key* descend(Key& from, const Parts& parts) const {
        Key* k = &from;
        for (const auto& p : parts)
            if (!(k = child(*k, p))) return nullptr;
        return k;
    }

    // The child of that name, made (at its place in the order) when missing.
    Key& ensureChild(Key& parent, std::string_view name);
    // Removes the key with everything below it; their ids die.
    void remove(Key& key);

    Family order() const { return order_; }
    void setOrder(Family order);  // re-sorts every key's subkeys

    static std::vector<std::string> pathOf(const Key& key);  // from the root, root = {}
    static bool hasHubAtOrBelow(const Key& key);
    // Calls f for the key and everything below it.
    template <class F>
    static void forEach(const Key& key, F&& f) {
        f(key);
        for (const auto& c : key.children) forEach(*c, f);
    }

private:
    bool before(const Key& a, const Key& b) const;
    void sortBelow(Key& key);
    void forget(Key& key);

    Family order_;
    std::unique_ptr<Key> root_;
    std::unordered_map<KeyId, Key*> byId_;
    std::uint64_t nextCreated_ = 0;
};

}  // namespace sysaccess::registry
