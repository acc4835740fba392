#pragma once
// The unattended removal: the real remover runs headless on the machine
// itself, as a person would use it (the device ticked, "Uninstall", Yes to
// the confirmation, No to the restart question), with a log of what the
// machine deleted, reported in the preview's form. Its outcome is told the
// way deployment tools read a command's exit code.
#include <string>

#include "sysaccess/platform/Platform.h"
#include "viewer/MachinePreview.h"
#include "viewer/ScriptLayout.h"

namespace busview {

struct RemovalOutcome {
    int exitCode = 0;            // Busview's exit status (Busview.h)
    bool restartNeeded = false;  // removed; a restart completes the removal
    std::string summary;         // in words, for the report
    std::string failure;         // what ended a failed run, as the remover showed it
};

struct RemovalResult {
    PreviewResult run;  // what the remover showed and decided, with the changes made
    RemovalOutcome outcome;
};

// The outcome of a remover run: failed where it stopped with its failure
// message, a run-time error or any other failure; removed, with a restart
// needed once a registry step ran (the restart question or notice), else
// without; nothing to do where the device could not be ticked; and ended
// silently where start-up ended the remover.
RemovalOutcome outcomeOf(const PreviewResult& run);

class MachineRemoval {
public:
    // `machine` is changed. `deletesSubtrees`: its registry takes a key's
    // subkeys with it (the 9x layout).
    MachineRemoval(sysaccess::Platform& machine, bool deletesSubtrees, MachinePreview::ScriptOpener script,
                   const ScriptLayout& layout);
    RemovalResult run();

private:
    sysaccess::Platform& machine_;
    bool deletesSubtrees_;
    MachinePreview::ScriptOpener script_;
    const ScriptLayout& layout_;
};

}  // namespace busview
