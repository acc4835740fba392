#include "sysaccess/Host.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "sysaccess/drivers/x11/X11Driver.h"
#include "sysaccess/platform/prefix/PrefixPlatform.h"

namespace sysaccess {

int runOnThisMachine(const char* name, Program program, On64BitWindows) {
    std::unique_ptr<drivers::X11Driver> display;
    try {
        display = std::make_unique<drivers::X11Driver>();
    } catch (const drivers::DisplayError& e) {
        std::fprintf(stderr, "%s: %s; the program needs an X display to show its windows.\n", name, e.what());
        return 1;
    }
    try {
        platform_prefix::PrefixPlatform machine(platform_prefix::PrefixOptions::fromEnvironment());
        PlatformGuard installed(machine);
        return program(*display);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
}

// Only the Windows builds have a 64-bit twin.
std::optional<int> handOverTo64BitTwin() { return std::nullopt; }

}  // namespace sysaccess
