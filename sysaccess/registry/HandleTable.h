#pragma once
// Open key handles: 32-bit values bound to key ids. Values are handed out in
// rising order and not again before the range wraps, so a closed handle stays
// unknown.
#include "sysaccess/platform/Platform.h"
#include "sysaccess/registry/KeyTree.h"

#include <optional>
#include <unordered_map>

namespace sysaccess::registry {

class HandleTable {
public:
    HKEY32 open(KeyId key);
    std::optional<KeyId> lookup(HKEY32 handle) const;
    bool close(HKEY32 handle);

    // Rebinds every handle (after a reload); f returns the new id or nothing
    // when the key is gone, which leaves the handle pointing at a dead id.
    template <class F>
    void rebind(F&& f) {
        for (auto& [handle, id] : open_)
            if (auto fresh = f(id)) id = *fresh;
            else id = 0;
    }

private:
    static bool reserved(HKEY32 value);
    std::unordered_map<HKEY32, KeyId> open_;
    HKEY32 next_ = 0x100;
};

}  // namespace sysaccess::registry
