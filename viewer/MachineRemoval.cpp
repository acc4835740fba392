#include "viewer/MachineRemoval.h"

#include <algorithm>

#include "sysaccess/platform/overlay/ChangeLogPlatform.h"
#include "viewer/Busview.h"
#include "viewer/HeadlessRemover.h"

namespace busview {

namespace {

// A box with the stop icon: the remover's "Uninstall Fail" message or the
// standard report of a run-time error, both of which end it.
bool stops(const PreviewBox& box) {
    constexpr int IconMask = 0xF0, StopIcon = 0x10;
    return (box.style & IconMask) == StopIcon;
}

}  // namespace

RemovalOutcome outcomeOf(const PreviewResult& run) {
    RemovalOutcome o;
    const auto stop = std::find_if(run.boxes.begin(), run.boxes.end(), stops);
    if (!run.failure.empty() || stop != run.boxes.end()) {
        o.exitCode = RemovalFailed;
        o.summary = "the removal failed";
        o.failure = stop != run.boxes.end() ? stop->text : run.failure;
    } else if (run.startupEnded) {
        o.exitCode = EndsSilently;
        o.summary = "the remover's start-up ends silently: nothing was removed";
    } else if (!run.removalRan) {
        o.exitCode = Removed;
        o.summary = "nothing of the driver is installed: nothing to remove";
    } else if (run.family != 0) {
        o.exitCode = RestartNeeded;
        o.restartNeeded = true;
        o.summary = "removed; Windows must be restarted to complete the removal";
    } else {
        o.exitCode = Removed;
        o.summary = "removed; no restart is needed";
    }
    return o;
}

MachineRemoval::MachineRemoval(sysaccess::Platform& machine, bool deletesSubtrees,
                               MachinePreview::ScriptOpener script, const ScriptLayout& layout)
    : machine_(machine), deletesSubtrees_(deletesSubtrees), script_(std::move(script)), layout_(layout) {}

RemovalResult MachineRemoval::run() {
    sysaccess::overlay::ChangeLogPlatform log(machine_, deletesSubtrees_);
    log.programFolderShown = RemoverFolder;
    log.substitute(std::string(RemoverFolder) + "Unins.dat", script_);
    HeadlessRemover remover(layout_);
    RemovalResult result;
    result.run = remover.run(log, log.step);
    remover.addChanges(result.run, log.changes());
    result.outcome = outcomeOf(result.run);
    return result;
}

}  // namespace busview
