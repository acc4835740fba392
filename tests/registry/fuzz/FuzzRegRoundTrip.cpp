// libFuzzer entry point for deleting a key from system.reg and reading the
// file back (see RoundTripCheck.h for what must hold). Built with
// -DBUSPROBE_FUZZ=ON and clang as fuzz_reg_roundtrip.
//
// Input: one byte choosing the key to delete, then the file's text after its
// signature line, which is always put in front.
#include "registry/RoundTripCheck.h"
#include "sysaccess/registry/KeyPath.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sysaccess::registry;
    if (size < 1) return 0;
    static fixtures::TempDir dir;  // one folder for the whole run
    const std::string text = std::string(kRegSignature) + "\n" +
                             std::string(reinterpret_cast<const char*>(data) + 1, size - 1);

    const RegFile file = parseRegFile(text);
    if (file.render() != text) __builtin_trap();  // splitting loses nothing
    const auto keys = regtest::keysOf(file.sections);
    if (keys.empty()) return 0;
    auto victim = keys.begin();
    std::advance(victim, data[0] % keys.size());
    // Only paths the programs can name: no empty or blank-led component.
    const auto parts = splitKeyPath(victim->second);
    if (!parts || parts->size() != static_cast<std::size_t>(std::count(victim->second.begin(), victim->second.end(), '\\') + 1))
        return 0;

    const std::string fault = regtest::roundTripFault(dir.path(), text, victim->second);
    if (!fault.empty()) {
        std::fprintf(stderr, "round trip: %s (deleting \"%s\")\n", fault.c_str(), regtest::visible(victim->second).c_str());
        __builtin_trap();
    }
    return 0;
}
