#pragma once
// Small helpers shared by the registry tests.
#include "sysaccess/registry/Registry.h"

#include <string>

namespace regtest {

using sysaccess::HKEY32;
using sysaccess::registry::Registry;

// Subkey `index` of an open key, "" when the call fails (as the programs read it).
inline std::string nameAt(Registry& r, HKEY32 key, int index) {
    char buf[256] = {};
    return r.RegEnumKeyA(key, index, buf, sizeof buf) == sysaccess::status::Success ? buf : "";
}

inline HKEY32 openKey(Registry& r, const std::string& path) {
    HKEY32 h = 0;
    r.RegOpenKeyA(sysaccess::HKEY_LOCAL_MACHINE, path, &h);
    return h;
}


}  // namespace regtest
