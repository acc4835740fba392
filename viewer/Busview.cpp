#include "viewer/Busview.h"

#include <exception>
#include <memory>

#include "viewer/MachinePreview.h"
#include "viewer/MachineRemoval.h"
#include "viewer/Report.h"
#include "viewer/StreamInputFile.h"

namespace busview {

namespace {

constexpr const char* Usage =
    "Usage: Busview SCRIPT [--machine | --remove] [--json]\n"
    "  SCRIPT     a removal script (Unins.dat)\n"
    "  --machine  also run the remover's own code on this machine without changing it:\n"
    "             the installed check, then every key and file a removal after a Yes\n"
    "             would delete, the registry layout, the message boxes and the restart\n"
    "             offer (Linux: the prefix in WINEPREFIX, else ~/.wine; Windows: this system)\n"
    "  --remove   remove the driver from this machine unattended, with the remover's own\n"
    "             code, as if its device were ticked, \"Uninstall\" pressed, the confirmation\n"
    "             answered Yes and the restart question No; then say what was removed\n"
    "             (on Windows it needs an administrator)\n"
    "  --json     print the same as one JSON document\n"
    "  --help     show this text\n"
    "Exit status: 0 when the remover's start-up accepts the script, 1 when it would end\n"
    "silently, 2 on a usage error. With --remove: 0 removed, or nothing of the driver\n"
    "installed; 3010 removed, a restart completes the removal; 1603 the removal failed\n"
    "or may not start; 1 the remover's start-up ends silently; 2 a usage error.\n";

struct Options {
    std::string script;
    bool machine = false;
    bool remove = false;
    bool json = false;
    bool help = false;
};

bool parse(const std::vector<std::string>& args, Options& o, std::string& problem) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--machine") o.machine = true;
        else if (a == "--remove") o.remove = true;
        else if (a == "--json") o.json = true;
        else if (a.size() > 1 && a[0] == '-') problem = "unknown option " + a;
        else if (o.script.empty()) o.script = a;
        else problem = "more than one script given";
        if (!problem.empty()) return false;
    }
    if (o.machine && o.remove) problem = "--machine and --remove exclude each other";
    else if (!o.help && o.script.empty()) problem = "no script given";
    return problem.empty();
}

// --remove: the removal, or its refusal, reported; the outcome's exit status.
int remove(const Options& o, const MachinePreview::ScriptOpener& opener, const ScriptLayout& layout,
           const std::vector<Trap>& traps, const MachineOpener& open, std::ostream& out, std::ostream& err) {
    std::unique_ptr<Machine> machine;
    std::string refusal;
    try {
        machine = open(MachineUse::Removal);
        refusal = machine->refusesRemoval();
    } catch (const std::exception& e) {
        refusal = std::string("cannot open this machine: ") + e.what();
    }
    RemovalResult result;
    bool started = refusal.empty();
    if (started) {
        try {
            result = MachineRemoval(machine->platform(), machine->deletesSubtrees(), opener, layout).run();
        } catch (const std::exception& e) {  // the machine failed outside the remover's run
            started = false;
            result.outcome = {RemovalFailed, false, "the removal failed", e.what()};
        }
    } else {
        result.outcome = {RemovalFailed, false, "the removal was not started: nothing was changed", refusal};
    }
    if (!started) err << "Busview: " << result.outcome.failure << "\n";
    if (o.json) {
        writeJson(out, layout, traps, started ? &result.run : nullptr, &result.outcome);
    } else {
        writeScriptText(out, layout, traps);
        if (started) writePreviewText(out, layout, result.run, Tense::Done);
        writeOutcomeText(out, result.outcome);
    }
    return result.outcome.exitCode;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const MachineOpener& open) {
    Options o;
    std::string problem;
    if (!parse(args, o, problem)) {
        err << "Busview: " << problem << "\n" << Usage;
        return UsageError;
    }
    if (o.help) {
        out << Usage;
        return Accepted;
    }
    auto opener = [path = o.script] { return std::make_unique<StreamInputFile>(path); };
    std::unique_ptr<ScriptFields> fields;
    try {
        fields = std::make_unique<ScriptFields>(opener());
    } catch (const std::exception& e) {
        err << "Busview: cannot read " << o.script << ": " << e.what() << "\n";
        return UsageError;
    }
    const ScriptLayout layout(*fields);
    const auto traps = ScriptTraps::find(layout);
    if (o.remove) return remove(o, opener, layout, traps, open, out, err);

    std::unique_ptr<PreviewResult> preview;
    if (o.machine) {
        try {
            const auto machine = open(MachineUse::Preview);
            MachinePreview dry(machine->platform(), machine->deletesSubtrees(), opener, layout);
            preview = std::make_unique<PreviewResult>(dry.run());
        } catch (const std::exception& e) {
            err << "Busview: cannot read this machine: " << e.what() << "\n";
            return UsageError;
        }
    }
    if (o.json) {
        writeJson(out, layout, traps, preview.get());
    } else {
        writeScriptText(out, layout, traps);
        if (preview) writePreviewText(out, layout, *preview);
    }
    const bool accepted = layout.startupAccepts() && !(preview && preview->startupEnded);
    return accepted ? Accepted : EndsSilently;
}

}  // namespace busview
