#pragma once
// Small helpers shared by the registry tests.
#include "sysaccess/RuntimeError.h"
#include "sysaccess/registry/Registry.h"

#include <gtest/gtest.h>

#include <functional>
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

// Runs `call`, which must fail with the run-time error `number` whose text
// begins with `text`.
inline void expectFailure(const std::function<void()>& call, int number, const std::string& text) {
    try {
        call();
        ADD_FAILURE() << "no run-time error; expected " << number << ": " << text;
    } catch (const sysaccess::RuntimeError& e) {
        EXPECT_EQ(e.number(), number) << e.what();
        EXPECT_EQ(std::string(e.what()).substr(0, text.size()), text);
    }
}

}  // namespace regtest
