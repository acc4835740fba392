// Busprobe: tells the user whether this computer supports USB.
#include <cstdio>

#include "sysaccess/platform/prefix/PrefixPlatform.h"

int main() {
    using namespace sysaccess;
    platform_prefix::PrefixPlatform machine(platform_prefix::PrefixOptions::fromEnvironment());
    PlatformGuard installed(machine);
    std::fprintf(stderr, "Busprobe: this build has no display driver; it cannot show its windows.\n");
    return 1;
}
