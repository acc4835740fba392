// Busclean: takes the USB adapter's driver off the machine.
#include <cstdio>

#include "sysaccess/platform/prefix/PrefixPlatform.h"

int main() {
    using namespace sysaccess;
    platform_prefix::PrefixPlatform machine(platform_prefix::PrefixOptions::fromEnvironment());
    PlatformGuard installed(machine);
    std::fprintf(stderr, "Busclean: this build has no display driver; it cannot show its windows.\n");
    return 1;
}
