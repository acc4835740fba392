#pragma once
// The machine a preview reads and a removal changes: on Linux the Wine-style
// prefix the programs choose (WINEPREFIX, else ~/.wine), on Windows the
// running system.
#include <memory>
#include <string>

#include "sysaccess/platform/Platform.h"

namespace busview {

enum class MachineUse {
    Preview,  // read only: nothing is started on its behalf
    Removal,  // changed, as the remover window changes it
};

class Machine {
public:
    virtual ~Machine() = default;
    virtual sysaccess::Platform& platform() = 0;
    // A deleted key takes its subkeys with it (the 9x layout).
    virtual bool deletesSubtrees() = 0;
    // Why this process may not remove the driver here (on Windows: not an
    // administrator, or a 32-bit program on 64-bit Windows); empty when it
    // may. Asked before anything is changed.
    virtual std::string refusesRemoval() { return {}; }
};

// Raises std::exception with a message when the machine cannot be opened.
std::unique_ptr<Machine> openThisMachine(MachineUse use);

}  // namespace busview
