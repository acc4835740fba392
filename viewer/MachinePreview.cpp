#include "viewer/MachinePreview.h"

#include <exception>

#include "remover/Uninstall.h"
#include "sysaccess/platform/overlay/DryRunPlatform.h"
#include "sysaccess/ui/Application.h"
#include "viewer/PreviewDriver.h"

namespace busview {

namespace {

using Dry = sysaccess::overlay::DryRunPlatform;

// The folder the remover is told it runs from: its script is read from
// there, and the preview serves the script given to it in that place.
constexpr const char* ProgramFolder = "A:\\";

std::string describe(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown failure";
    }
}

}  // namespace

MachinePreview::MachinePreview(sysaccess::Platform& machine, bool deletesSubtrees, ScriptOpener script,
                               const ScriptLayout& layout)
    : machine_(machine), deletesSubtrees_(deletesSubtrees), script_(std::move(script)), layout_(layout) {}

PreviewResult MachinePreview::run() {
    PreviewResult result;
    Dry dry(machine_, deletesSubtrees_);
    dry.programFolderShown = ProgramFolder;
    dry.substitute(std::string(ProgramFolder) + "Unins.dat", script_);
    sysaccess::PlatformGuard guard(dry);

    busclean::Uninstall* window = nullptr;
    bool removal = false;
    // Each change is labelled with the entry the removal run is at.
    dry.step = [&] {
        if (!window || !removal) return std::string("0");
        result.family = window->SystemFamily;
        return std::to_string(window->EntryIndex);
    };
    {
        PreviewDriver driver;
        // The layout is read whenever the window may be about to go: a run
        // that stops at a failure after detecting it leaves it detected.
        const auto noteFamily = [&] {
            if (window) result.family = window->SystemFamily;
        };
        driver.onRefresh = [&](sysaccess::ui::Form&) { noteFamily(); };
        driver.beforeBoxOrClose = noteFamily;
        driver.start([&] {
            struct Forget {
                busclean::Uninstall*& w;
                ~Forget() { w = nullptr; }
            } forget{window};
            sysaccess::ui::Application app(driver, "Busclean");
            window = &app.form<busclean::Uninstall>();
            app.run(*window);
        });

        if (driver.finished() || !window) {
            result.startupEnded = true;
        } else {
            result.checkEnabled = window->Check1.Enabled;
            result.decidingEntry = decidingEntry(window->EntryIndex, result.checkEnabled);
            if (result.checkEnabled) {
                removal = true;
                result.removalRan = true;
                driver.click("Uninstall", "Check1");
                driver.click("Uninstall", "Command1");
                if (window) result.family = window->SystemFamily;
            }
        }
        for (const auto& b : driver.boxes()) result.boxes.push_back({b.text, b.title, b.style, b.answer});
        result.ended = driver.finished();
        if (driver.failure()) result.failure = describe(driver.failure());
        for (const auto& b : driver.unexpectedBoxes()) result.failure += "unanswered box: " + b.text;
    }

    for (const Dry::Change& c : dry.changes()) {
        PreviewChange p;
        switch (c.kind) {
            case Dry::Change::Kind::DeleteKey: p.kind = PreviewChange::Kind::DeleteKey; break;
            case Dry::Change::Kind::DeleteFile: p.kind = PreviewChange::Kind::DeleteFile; break;
            case Dry::Change::Kind::Restart: p.kind = PreviewChange::Kind::Restart; break;
            case Dry::Change::Kind::StartProgram: p.kind = PreviewChange::Kind::StartProgram; break;
            case Dry::Change::Kind::OpenShortcut: p.kind = PreviewChange::Kind::OpenShortcut; break;
            case Dry::Change::Kind::WriteFile: continue;  // the start-up's shortcut, kept in memory
        }
        if (p.kind == PreviewChange::Kind::Restart) result.restartRequested = true;
        p.what = c.what;
        p.takenWith = c.takenWith;
        p.entry = std::stoi(c.step.empty() ? "0" : c.step);
        if (p.entry >= 1 && p.entry <= static_cast<int>(layout_.entries().size())) {
            p.step = runStep(layout_.entries()[static_cast<std::size_t>(p.entry - 1)].run);
        } else {
            p.step = p.entry == 0 ? "start-up" : "AskRestart";
        }
        result.changes.push_back(std::move(p));
    }
    return result;
}

// The check ends at the first entry whose file it finds; a walk to the end
// leaves the answer of the last file entry (a miss), unless oem entries
// after it found a matching oem file.
int MachinePreview::decidingEntry(int stoppedAt, bool enabled) const {
    const auto& entries = layout_.entries();
    if (stoppedAt >= 1 && stoppedAt <= static_cast<int>(entries.size())) return stoppedAt;
    int lastFile = 0;
    for (const Entry& e : entries) {
        if (e.check != Section::W2kinf) lastFile = e.index;
    }
    if (enabled) {
        for (const Entry& e : entries) {
            if (e.check == Section::W2kinf && e.index > lastFile) return e.index;
        }
    }
    return lastFile;
}

}  // namespace busview
