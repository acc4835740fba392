// libFuzzer target for the icon and cursor reader: the input is an icon or
// cursor file. Whatever it holds, nothing is read outside it (the input is an
// exact-size buffer under the address checker), and what comes back agrees
// with itself: decoded pictures are as large as their directory entry says,
// masks cover them, hot spots lie inside, PNG entries never load, and
// decodeIcon picks the entry a plain ranking of the loadable ones picks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "sysaccess/paint/Ico.h"

namespace {

using namespace sysaccess::paint;

[[noreturn]] void fail(const char* what, std::size_t index) {
    std::fprintf(stderr, "icon: %s (entry %zu)\n", what, index);
    __builtin_trap();
}

bool samePicture(const IconImage& a, const IconImage& b) {
    return a.image.width == b.image.width && a.image.height == b.image.height && a.image.pixels == b.image.pixels &&
           a.mask == b.mask && a.hotX == b.hotX && a.hotY == b.hotY;
}

// Better for a size x size place on a maxBits display: the nearer side, on a
// tie the larger one, then the deepest colour depth not above maxBits, else
// the shallowest above it.
bool better(const IconEntry& a, const IconEntry& b, int size, int maxBits) {
    const int da = std::abs(a.width - size), db = std::abs(b.width - size);
    if (da != db) return da < db;
    if ((a.width > size) != (b.width > size)) return a.width > size;
    const bool aFits = a.bits <= maxBits, bFits = b.bits <= maxBits;
    if (aFits != bFits) return aFits;
    return aFits ? a.bits > b.bits : a.bits < b.bits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<IconDirectory> dir = readIconDirectory(bytes);
    if (!dir) {
        if (decodeIconEntry(bytes, 0) || decodeIcon(bytes, 32)) fail("a picture from no icon file", 0);
        return 0;
    }

    struct Loaded {
        IconEntry entry;
        IconImage icon;
    };
    std::vector<Loaded> loadable;
    for (std::size_t i = 0; i < dir->entries.size(); ++i) {
        const IconEntry& e = dir->entries[i];
        if (i > 0 && e.index <= dir->entries[i - 1].index) fail("entries out of file order", e.index);
        const std::optional<IconImage> icon = decodeIconEntry(bytes, e.index);
        if (e.png) {
            if (icon) fail("a PNG entry loaded", e.index);
            continue;
        }
        if (e.width < 1 || e.width > kMaxIconSide || e.height < 1 || e.height > kMaxIconSide)
            fail("entry size out of range", e.index);
        if (!icon) continue;
        const Image& im = icon->image;
        if (im.width != e.width || im.height != e.height) fail("picture size differs from its entry", e.index);
        const std::size_t area = static_cast<std::size_t>(im.width) * im.height;
        if (im.pixels.size() != area || icon->mask.size() != area) fail("pixels or mask do not cover the picture", e.index);
        for (const std::uint8_t m : icon->mask)
            if (m > 1) fail("mask value other than 0 or 1", e.index);
        if (!dir->cursor && (icon->hotX != 0 || icon->hotY != 0)) fail("an icon with a hot spot", e.index);
        if (icon->hotX < 0 || icon->hotX >= im.width || icon->hotY < 0 || icon->hotY >= im.height)
            fail("hot spot outside the picture", e.index);
        if (dir->cursor && (icon->hotX != std::min(e.hotX, im.width - 1) || icon->hotY != std::min(e.hotY, im.height - 1)))
            fail("hot spot differs from the directory's", e.index);
        loadable.push_back({e, *icon});
    }

    // An index past the directory never loads.
    if (decodeIconEntry(bytes, size + 65536)) fail("an entry past the directory loaded", size + 65536);

    const int place = size > 0 ? 1 + data[size - 1] % 64 : 32;
    for (const int maxBits : {1, 4, 8, 24, 32}) {
        const std::optional<IconImage> chosen = decodeIcon(bytes, place, maxBits);
        const Loaded* best = nullptr;
        for (const Loaded& l : loadable)
            if (!best || better(l.entry, best->entry, place, maxBits)) best = &l;
        if (!best) {
            if (chosen) fail("a picture chosen although none loads", 0);
            continue;
        }
        if (!chosen || !samePicture(*chosen, best->icon)) fail("decodeIcon chose another picture", best->entry.index);
    }
    return 0;
}
