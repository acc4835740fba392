#include "sysaccess/platform/Platform.h"

#include <utility>

#include "sysaccess/RuntimeError.h"

namespace sysaccess {
namespace {
Platform* installed = nullptr;
}

Platform& platform() {
    if (!installed) raise(err::PathFileAccess, "No platform installed");
    return *installed;
}

std::vector<std::string> Platform::findFiles(const std::string& pattern) {
    std::string first = findFirstFile(pattern);
    if (first.empty()) return {};
    return {std::move(first)};
}

std::string Platform::storedPath(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos || findFirstFile(path).empty()) return "";
    return path;
}

bool hasPlatform() { return installed != nullptr; }

PlatformGuard::PlatformGuard(Platform& p) : previous_(installed) { installed = &p; }
PlatformGuard::~PlatformGuard() { installed = previous_; }

}  // namespace sysaccess
