#include "sysaccess/platform/Platform.h"

#include "sysaccess/RuntimeError.h"

namespace sysaccess {
namespace {
Platform* installed = nullptr;
}

Platform& platform() {
    if (!installed) raise(err::PathFileAccess, "No platform installed");
    return *installed;
}

bool hasPlatform() { return installed != nullptr; }

PlatformGuard::PlatformGuard(Platform& p) : previous_(installed) { installed = &p; }
PlatformGuard::~PlatformGuard() { installed = previous_; }

}  // namespace sysaccess
