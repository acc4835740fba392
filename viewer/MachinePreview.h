#pragma once
// A dry run of the real remover on a machine: its window class runs over the
// headless display and a platform that reads the machine and keeps every
// change to itself. What the installed check decided, and what a removal
// after a Yes would delete, step by step, with the boxes it would show.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/files/InputFile.h"
#include "sysaccess/platform/Platform.h"
#include "viewer/ScriptLayout.h"

namespace busview {

struct PreviewChange {
    enum class Kind { DeleteKey, DeleteFile, Restart, StartProgram, OpenShortcut };
    Kind kind;
    std::string what;
    int entry = 0;          // removal list entry being handled; 0 at start-up
    std::string step;       // the procedure that asks for it
    // A key taken along by the deletion of another: the deleted key that
    // took it. Empty for what the remover deleted itself.
    std::string takenWith;
    bool takenAlong() const { return !takenWith.empty(); }
    // Removed with its parent: the 9x layout deletes a key with everything
    // below it. Otherwise a key taken along was removed by the system with
    // the deleted key (a device instance the Plug and Play manager removed
    // on Windows, and the keys that left empty).
    bool withParent() const {
        return takenAlong() && what.size() > takenWith.size() && what.compare(0, takenWith.size(), takenWith) == 0 &&
               what[takenWith.size()] == '\\';
    }
};

struct PreviewBox {
    std::string text, title;
    int style = 0;
    int answer = 0;
};

struct PreviewResult {
    bool startupEnded = false;   // start-up ended silently: no window
    bool checkEnabled = false;   // Check1 enabled after start-up
    int decidingEntry = 0;       // the entry whose step decided it, 0 none
    bool removalRan = false;
    std::vector<PreviewChange> changes;
    int family = 0;              // as the run left it: 0 none detected, 1 the 9x layout, 2 the NT layout
    std::vector<PreviewBox> boxes;
    bool restartRequested = false;
    bool ended = false;          // the program ended after the run
    std::string failure;         // an error the program did not expect, if any
};

class MachinePreview {
public:
    using ScriptOpener = std::function<std::unique_ptr<sysaccess::files::InputFile>()>;

    // `machine` is only read. `deletesSubtrees`: the machine's registry
    // takes a key's subkeys with it (the 9x layout).
    MachinePreview(sysaccess::Platform& machine, bool deletesSubtrees, ScriptOpener script,
                   const ScriptLayout& layout);
    PreviewResult run();

private:
    sysaccess::Platform& machine_;
    bool deletesSubtrees_;
    ScriptOpener script_;
    const ScriptLayout& layout_;
};

}  // namespace busview
