#include "viewer/Busview.h"

#include <exception>
#include <memory>

#include "viewer/Machine.h"
#include "viewer/MachinePreview.h"
#include "viewer/Report.h"
#include "viewer/StreamInputFile.h"

namespace busview {

namespace {

constexpr const char* Usage =
    "Usage: Busview SCRIPT [--machine] [--json]\n"
    "  SCRIPT     a removal script (Unins.dat)\n"
    "  --machine  also run the remover's own code on this machine without changing it:\n"
    "             the installed check, then every key and file a removal after a Yes\n"
    "             would delete, the registry layout, the message boxes and the restart\n"
    "             offer (Linux: the prefix in WINEPREFIX, else ~/.wine; Windows: this system)\n"
    "  --json     print the same as one JSON document\n"
    "  --help     show this text\n"
    "Exit status: 0 when the remover's start-up accepts the script, 1 when it would end\n"
    "silently, 2 on a usage error.\n";

struct Options {
    std::string script;
    bool machine = false;
    bool json = false;
    bool help = false;
};

bool parse(const std::vector<std::string>& args, Options& o, std::string& problem) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--machine") o.machine = true;
        else if (a == "--json") o.json = true;
        else if (a.size() > 1 && a[0] == '-') problem = "unknown option " + a;
        else if (o.script.empty()) o.script = a;
        else problem = "more than one script given";
        if (!problem.empty()) return false;
    }
    if (!o.help && o.script.empty()) problem = "no script given";
    return problem.empty();
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

    std::unique_ptr<PreviewResult> preview;
    if (o.machine) {
        try {
            const auto machine = openThisMachine();
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
