#pragma once
// One change a program asked of the machine, as the platform decorators of
// this folder write them down: the dry run instead of making it, the change
// log after the machine made it.
#include <string>

namespace sysaccess::overlay {

struct Change {
    enum class Kind { DeleteKey, DeleteFile, WriteFile, Restart, StartProgram, OpenShortcut };
    Kind kind;
    std::string what;  // key path below HKEY_LOCAL_MACHINE, Windows path, program, shortcut content
    std::string step;  // what the program was doing, from the step hook
    // A key removed with its parent: the deleted key above it that took
    // it along, which is recorded before it. Empty for every change the
    // program asked for itself.
    std::string takenWith;
};

}  // namespace sysaccess::overlay
