#pragma once
// The remover's own window, run headless over a platform as a person would
// use it: once start-up has ended, the device is ticked where it can be and
// "Uninstall" pressed; the confirmation is answered Yes, the restart
// question No, other boxes OK. The preview runs it over a dry run of the
// machine, the unattended removal over the machine itself.
#include <functional>
#include <string>
#include <vector>

#include "sysaccess/platform/Platform.h"
#include "sysaccess/platform/overlay/Change.h"
#include "viewer/MachinePreview.h"
#include "viewer/ScriptLayout.h"

namespace busview {

// The folder the remover is told it runs from: its script is read from
// there, and the platform serves the script given to Busview in that place.
inline constexpr const char* RemoverFolder = "A:\\";

class HeadlessRemover {
public:
    explicit HeadlessRemover(const ScriptLayout& layout) : layout_(layout) {}

    // Runs the window with `machine` installed as the platform. `step` is
    // the platform's hook that labels each change: while the run is on, it
    // gives the removal list entry being handled ("0" before the removal).
    // The result has everything but the changes.
    PreviewResult run(sysaccess::Platform& machine, std::function<std::string()>& step);
    // Adds the platform's changes to `result`, each with the procedure that
    // asked for it (the shortcut file start-up writes and deletes is none).
    void addChanges(PreviewResult& result, const std::vector<sysaccess::overlay::Change>& changes) const;

private:
    int decidingEntry(int stoppedAt, bool enabled) const;

    const ScriptLayout& layout_;
};

}  // namespace busview
