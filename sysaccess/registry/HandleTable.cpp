#include "sysaccess/registry/HandleTable.h"

#include <stdexcept>

namespace sysaccess::registry {

bool HandleTable::reserved(HKEY32 value) {
    // 0 is never valid and 0x80000000.. are the predefined roots.
    return value == 0 || (value & 0x80000000u) != 0;
}

HKEY32 HandleTable::open(KeyId key) {
    // Steps of 4 as system handles go; after 2^29 opens this would wrap into
    // values already handed out, which a process of this kind never reaches.
    for (std::uint64_t tries = 0; tries < 0x20000000u; ++tries) {
        const HKEY32 value = next_;
        next_ = reserved(next_ + 4) ? 0x100 : next_ + 4;
        if (!reserved(value) && !open_.contains(value)) {
            open_.emplace(value, key);
            return value;
        }
    }
    throw std::length_error("registry handle table is full");
}

std::optional<KeyId> HandleTable::lookup(HKEY32 handle) const {
    const auto it = open_.find(handle);
    if (it == open_.end()) return std::nullopt;
    return it->second;
}

bool HandleTable::close(HKEY32 handle) { return open_.erase(handle) == 1; }

}  // namespace sysaccess::registry
