#include "viewer/MachinePreview.h"

#include "sysaccess/platform/overlay/DryRunPlatform.h"
#include "viewer/HeadlessRemover.h"

namespace busview {

MachinePreview::MachinePreview(sysaccess::Platform& machine, bool deletesSubtrees, ScriptOpener script,
                               const ScriptLayout& layout)
    : machine_(machine), deletesSubtrees_(deletesSubtrees), script_(std::move(script)), layout_(layout) {}

PreviewResult MachinePreview::run() {
    sysaccess::overlay::DryRunPlatform dry(machine_, deletesSubtrees_);
    dry.programFolderShown = RemoverFolder;
    dry.substitute(std::string(RemoverFolder) + "Unins.dat", script_);
    HeadlessRemover remover(layout_);
    PreviewResult result = remover.run(dry, dry.step);
    remover.addChanges(result, dry.changes());
    return result;
}

}  // namespace busview
