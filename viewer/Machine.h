#pragma once
// The machine a preview reads: on Linux the Wine-style prefix the programs
// choose (WINEPREFIX, else ~/.wine), on Windows the running system.
#include <memory>

#include "sysaccess/platform/Platform.h"

namespace busview {

class Machine {
public:
    virtual ~Machine() = default;
    virtual sysaccess::Platform& platform() = 0;
    // A deleted key takes its subkeys with it (the 9x layout).
    virtual bool deletesSubtrees() = 0;
};

// Raises std::exception with a message when the machine cannot be opened.
std::unique_ptr<Machine> openThisMachine();

}  // namespace busview
