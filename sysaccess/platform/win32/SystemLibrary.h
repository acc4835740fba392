#pragma once
// A DLL of the system loaded by its full path in the system folder, for
// calls looked up at run time: a program started from a driver disk would
// otherwise find a same-named DLL in its own folder first, and a system
// without the call still starts the program.
#include <string>

#include <windows.h>

namespace sysaccess::platform_win32 {

class SystemLibrary {
public:
    explicit SystemLibrary(const char* name);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const { return module_ != nullptr; }

    // The exported function of that name, or null (also when the DLL is missing).
    template <class Function>
    Function function(const char* name) const {
        if (!module_) return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace sysaccess::platform_win32
