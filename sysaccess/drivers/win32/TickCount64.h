#pragma once
// Milliseconds since Windows started, 64 bits wide, on every Windows the
// programs run on, Windows XP included (whose kernel32 has no
// GetTickCount64). TickCount64.cpp explains how the programs and the runtime
// linked into them come to call this instead of the system's function.
#include <cstdint>

namespace sysaccess::drivers {

std::uint64_t tickCount64();

// GetTickCount's 32 bits read `now`, carried on from the previous 64-bit
// reading `last`: the count wraps every 49.7 days, so a reading below the low
// half of the last one has wrapped once since. Exact as long as readings are
// less than 49.7 days apart.
constexpr std::uint64_t extendTickCount(std::uint64_t last, std::uint32_t now) {
    std::uint64_t high = last & ~std::uint64_t{0xFFFFFFFF};
    if (now < static_cast<std::uint32_t>(last)) high += std::uint64_t{1} << 32;
    return high | now;
}

}  // namespace sysaccess::drivers
