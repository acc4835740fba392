#include "viewer/HeadlessRemover.h"

#include <exception>

#include "remover/Uninstall.h"
#include "sysaccess/ui/Application.h"
#include "viewer/PreviewDriver.h"

namespace busview {

namespace {

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

PreviewResult HeadlessRemover::run(sysaccess::Platform& machine, std::function<std::string()>& step) {
    PreviewResult result;
    sysaccess::PlatformGuard guard(machine);

    busclean::Uninstall* window = nullptr;
    bool removal = false;
    // Each change is labelled with the entry the removal run is at.
    step = [&] {
        if (!window || !removal) return std::string("0");
        result.family = window->SystemFamily;
        return std::to_string(window->EntryIndex);
    };
    struct Unhook {
        std::function<std::string()>& step;
        ~Unhook() { step = nullptr; }
    } unhook{step};

    PreviewDriver driver;
    // The layout is read whenever the window may be about to go: a run that
    // stops at a failure after detecting it leaves it detected.
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
    return result;
}

void HeadlessRemover::addChanges(PreviewResult& result, const std::vector<sysaccess::overlay::Change>& changes) const {
    using Kind = sysaccess::overlay::Change::Kind;
    for (const sysaccess::overlay::Change& c : changes) {
        PreviewChange p{};
        switch (c.kind) {
            case Kind::DeleteKey: p.kind = PreviewChange::Kind::DeleteKey; break;
            case Kind::DeleteFile: p.kind = PreviewChange::Kind::DeleteFile; break;
            case Kind::Restart: p.kind = PreviewChange::Kind::Restart; break;
            case Kind::StartProgram: p.kind = PreviewChange::Kind::StartProgram; break;
            case Kind::OpenShortcut: p.kind = PreviewChange::Kind::OpenShortcut; break;
            case Kind::WriteFile: continue;  // the start-up's shortcut, deleted again at once
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
}

// The check ends at the first entry whose file it finds; a walk to the end
// leaves the answer of the last file entry (a miss), unless oem entries
// after it found a matching oem file.
int HeadlessRemover::decidingEntry(int stoppedAt, bool enabled) const {
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
