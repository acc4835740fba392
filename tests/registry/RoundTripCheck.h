#pragma once
// One deletion through a file-backed store, checked against the file before:
// every other key is still there (implied parents included), every untouched
// section keeps its bytes and order, the header stays, at most one section is
// new (the parent's), and the store's memory holds the keys, names and order
// a fresh read of the file finds. Shared by the
// round-trip test and the fuzz target; answers "" or what went wrong.
#include "fixtures/TempDir.h"
#include "sysaccess/registry/KeyPath.h"
#include "sysaccess/registry/Registry.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace regtest {

using sysaccess::registry::Registry;
using sysaccess::registry::RegFile;
using sysaccess::registry::RegSection;
using sysaccess::registry::upperAscii;

inline std::string joinedPath(const std::vector<std::string>& path, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += (i ? "\\" : "") + path[i];
    return out;
}

// Every key the sections make, implied parents included: upper-case path ->
// path with each name as the file first spells that key.
inline std::map<std::string, std::string> keysOf(const std::vector<RegSection>& sections) {
    std::map<std::string, std::string> keys;
    for (const auto& s : sections)
        for (std::size_t n = 1; n <= s.path.size(); ++n) {
            const std::string upper = upperAscii(joinedPath(s.path, n));
            if (keys.count(upper)) continue;
            keys[upper] = n == 1 ? s.path[0] : keys[upperAscii(joinedPath(s.path, n - 1))] + "\\" + s.path[n - 1];
        }
    return keys;
}

// A name with its control and 8-bit bytes shown as \xHH, for messages.
inline std::string visible(std::string_view s) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 32 && b < 127) out += c;
        else out += std::string("\\x") + digits[b >> 4] + digits[b & 15];
    }
    return out;
}

inline bool within(const std::string& upperKey, const std::string& upperTop) {
    return upperKey == upperTop || upperKey.starts_with(upperTop + "\\");
}

inline void listKeys(const Registry& r, const std::string& path, std::vector<std::string>& out) {
    for (const auto& name : r.subkeys(path)) {
        const std::string full = path.empty() ? name : path + "\\" + name;
        out.push_back(full);
        listKeys(r, full, out);
    }
}

inline Registry::Options roundTripOptions(const std::filesystem::path& dir) {
    return {.systemReg = dir / "system.reg",
            .wineServerRoot = dir / "wineserver",
            .family = sysaccess::registry::Family::Win9x};
}

// Deletes `victim` (a key of `text`) through a store on dir/system.reg.
inline std::string roundTripFault(const std::filesystem::path& dir, const std::string& text, const std::string& victim) {
    using namespace sysaccess::registry;
    const auto options = roundTripOptions(dir);
    fixtures::writeHostFile(options.systemReg, text);
    const RegFile before = parseRegFile(text);
    if (!before.valid) return "the file before is no registry file";
    const auto keysBefore = keysOf(before.sections);
    const std::string top = upperAscii(victim);
    if (!keysBefore.count(top)) return "no key " + visible(victim) + " before";

    Registry r(options);
    if (const long s = r.RegDeleteKeyA(sysaccess::HKEY_LOCAL_MACHINE, victim); s != sysaccess::status::Success)
        return "deleting " + visible(victim) + " answered " + std::to_string(s);
    const std::string written = fixtures::readHostFile(options.systemReg);
    const RegFile after = parseRegFile(written);
    if (!after.valid) return "the written file is no registry file";
    if (after.header != before.header) return "the header changed";

    auto expected = keysBefore;
    std::erase_if(expected, [&](const auto& k) { return within(k.first, top); });
    if (const auto got = keysOf(after.sections); got != expected) {
        std::string diff = "the keys after differ from the keys before minus the subtree:";
        for (const auto& [upper, name] : expected)
            if (!got.count(upper) || got.at(upper) != name) diff += "\n  lost or renamed: " + visible(name);
        for (const auto& [upper, name] : got)
            if (!expected.count(upper) || expected.at(upper) != name) diff += "\n  new: " + visible(name);
        return diff;
    }

    std::vector<std::string> keptRaw, afterRaw;
    std::vector<RegSection> kept;
    for (const auto& s : before.sections)
        if (s.path.empty() || !within(upperAscii(joinedPath(s.path, s.path.size())), top)) kept.push_back(s);
    for (const auto& s : kept) keptRaw.push_back(s.raw);
    for (const auto& s : after.sections) afterRaw.push_back(s.raw);
    // The one section that may be new is the parent's, in the freed place.
    if (afterRaw.size() == keptRaw.size() + 1) {
        std::size_t j = 0;
        while (j < keptRaw.size() && keptRaw[j] == afterRaw[j]) ++j;
        const auto& added = after.sections[j].path;
        const std::size_t cut = victim.rfind('\\');
        if (cut == std::string::npos || upperAscii(joinedPath(added, added.size())) != upperAscii(victim.substr(0, cut)))
            return "a section other than the parent's was added";
        afterRaw.erase(afterRaw.begin() + static_cast<std::ptrdiff_t>(j));
    }
    if (afterRaw != keptRaw) return "untouched sections changed";

    // Names and (9x) numbering as the store had them, also after a reload.
    std::vector<std::string> live, fresh;
    listKeys(r, "", live);
    listKeys(Registry(options), "", fresh);
    if (live != fresh) return "the store's keys differ from a fresh read of the written file";
    return "";
}

}  // namespace regtest
