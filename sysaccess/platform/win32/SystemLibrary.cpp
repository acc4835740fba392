#include "sysaccess/platform/win32/SystemLibrary.h"

namespace sysaccess::platform_win32 {

SystemLibrary::SystemLibrary(const char* name) {
    char system[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    module_ = ::LoadLibraryA((std::string(system, n) + "\\" + name).c_str());
}

SystemLibrary::~SystemLibrary() {
    if (module_) ::FreeLibrary(module_);
}

}  // namespace sysaccess::platform_win32
