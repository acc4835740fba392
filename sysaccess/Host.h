#pragma once
// Runs a program on the machine this build is for: the platform and the
// display of the build (a Wine-style prefix and X11 on Linux, the real
// system on Windows) are set up, the program runs, and its exit status
// comes back. A display that cannot be opened is reported on standard error
// with status 1.
#include "sysaccess/ui/Driver.h"

namespace sysaccess {

using Program = int (*)(ui::Driver& driver);

int runOnThisMachine(const char* name, Program program);

}  // namespace sysaccess
