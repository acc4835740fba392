#pragma once
// Busview: shows how the remover reads a removal script; with --machine,
// what it would delete on this machine, changing nothing; with --remove, it
// removes the driver unattended and says what it removed.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "viewer/Machine.h"

namespace busview {

// Exit statuses.
inline constexpr int Accepted = 0;     // start-up would accept the script
inline constexpr int EndsSilently = 1; // start-up would end silently
inline constexpr int UsageError = 2;
// Those of --remove, as deployment tools read them (the first two are what
// Windows' own tools return for a driver removal).
inline constexpr int Removed = 0;          // removed, or nothing of the driver installed
inline constexpr int RestartNeeded = 3010; // removed; a restart completes it
inline constexpr int RemovalFailed = 1603; // the removal failed, or may not be started

// Opens the machine for a preview or a removal (raises with a message when it
// cannot be opened).
using MachineOpener = std::function<std::unique_ptr<Machine>(MachineUse)>;

// Runs with the arguments after the program name, on this machine or the
// one `open` gives.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const MachineOpener& open = openThisMachine);

}  // namespace busview
