// Busview --remove: the remover's own run on the machine without a window.
// On the complete-removal images of both registry layouts it must leave
// exactly what the window program leaves, report what the preview foretold
// (the preview's report, told as done), and end with the exit code a
// deployment tool reads.
#include <gtest/gtest.h>

#include <sstream>

#include "fixtures/Faults.h"
#include "remover/CompleteMachines.h"
#include "sysaccess/registry/RegFileStore.h"
#include "viewer/Busview.h"
#include "viewer/PreviewHarness.h"
#include "viewer/Report.h"

using namespace complete_removal;
using preview_test::ScriptOf;
namespace mb = sysaccess::ui::mb;

namespace {

// The image as Busview would open it there, through a prefix platform that
// sees the hubs and Wine servers the window program's run sees.
class ImageMachine : public busview::Machine {
public:
    ImageMachine(RemoverRun& run, busview::MachineUse use, std::string refusal)
        : platform_(options(run, use)), refusal_(std::move(refusal)) {}
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override {
        return platform_.registry().family() == sysaccess::registry::Family::Win9x;
    }
    std::string refusesRemoval() override { return refusal_; }

private:
    static sysaccess::platform_prefix::PrefixOptions options(RemoverRun& run, busview::MachineUse use) {
        sysaccess::platform_prefix::PrefixOptions o = preview_test::busviewOptions(run);
        o.wineboot = use == busview::MachineUse::Removal ? run.wineboot : std::filesystem::path();
        return o;
    }
    sysaccess::platform_prefix::PrefixPlatform platform_;
    std::string refusal_;
};

busview::MachineOpener on(RemoverRun& run, std::string refusal = {}) {
    return [&run, refusal](busview::MachineUse use) { return std::make_unique<ImageMachine>(run, use, refusal); };
}

struct Outcome {
    int status = 0;
    std::string out, err;
};

// Busview with these options after the image's script (A:\Unins.dat).
Outcome runBusview(RemoverRun& run, std::vector<std::string> options, std::string refusal = {}) {
    options.insert(options.begin(), run.prefix.host("A:\\Unins.dat").string());
    std::ostringstream out, err;
    const int status = busview::run(options, out, err, on(run, std::move(refusal)));
    return {status, out.str(), err.str()};
}

// What Busview --remove [--json] must print, made from the preview of the
// image: its report told as done, and the outcome the preview foretells.
std::string foretold(RemoverRun& run, bool json) {
    const ScriptOf script(run);
    const auto traps = busview::ScriptTraps::find(script.layout);
    ImageMachine machine(run, busview::MachineUse::Preview, {});
    busview::MachinePreview dry(machine.platform(), machine.deletesSubtrees(), [&run] {
        return std::make_unique<busview::StreamInputFile>(run.prefix.host("A:\\Unins.dat").string());
    }, script.layout);
    const busview::PreviewResult p = dry.run();
    const busview::RemovalOutcome outcome = busview::outcomeOf(p);
    std::ostringstream text;
    if (json) {
        busview::writeJson(text, script.layout, traps, &p, &outcome);
    } else {
        busview::writeScriptText(text, script.layout, traps);
        busview::writePreviewText(text, script.layout, p, busview::Tense::Done);
        busview::writeOutcomeText(text, outcome);
    }
    return text.str();
}

std::string registryText(const RemoverRun& run) { return fixtures::readHostFile(run.prefix.path() / "system.reg"); }

// The window program through a removal: tick, Uninstall, then these answers.
void removeByWindow(RemoverRun& run, std::initializer_list<int> answers) {
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);
    run.uninstall(answers);
    ASSERT_TRUE(run.driver.finished());
}

struct Layout {
    const char* name;
    void (*make)(RemoverRun&);
    int lastAnswer;  // No to the 9x restart question, OK to the NT notice
};
const Layout Layouts[] = {
    {"9x", [](RemoverRun& run) { machine9x(run); }, mb::No},
    {"NT", [](RemoverRun& run) { machineNt(run, false); }, mb::Ok},
};

}  // namespace

TEST(UnattendedRemoval, BothLayoutsEndAsTheWindowProgramWithARestartNeededAndAsForetold) {
    for (const Layout& layout : Layouts) {
        SCOPED_TRACE(layout.name);
        RemoverRun window, text, json;
        for (RemoverRun* run : {&window, &text, &json}) layout.make(*run);
        removeByWindow(window, {mb::Yes, layout.lastAnswer});
        ASSERT_NE(registryText(window), registryText(text));

        const std::string textForetold = foretold(text, false), jsonForetold = foretold(json, true);
        const Outcome byText = runBusview(text, {"--remove"});
        EXPECT_EQ(byText.status, busview::RestartNeeded) << byText.err;
        EXPECT_EQ(byText.out, textForetold);
        EXPECT_NE(byText.out.find("Outcome: removed; Windows must be restarted to complete the removal (exit code 3010)"),
                  std::string::npos) << byText.out;
        const Outcome byJson = runBusview(json, {"--remove", "--json"});
        EXPECT_EQ(byJson.status, busview::RestartNeeded);
        EXPECT_EQ(byJson.out, jsonForetold);
        EXPECT_NE(byJson.out.find("\"outcome\":{\"exitCode\":3010,"), std::string::npos) << byJson.out;

        // Exactly what the window program leaves, key for key and file for file.
        for (RemoverRun* run : {&text, &json}) {
            EXPECT_EQ(registryText(*run), registryText(window));
            EXPECT_EQ(files(*run), files(window));
        }

        // Once more on the cleaned machine: nothing to do, and that is a success.
        const std::string registryAfter = registryText(text);
        const auto filesAfter = files(text);
        const Outcome again = runBusview(text, {"--remove"});
        EXPECT_EQ(again.status, busview::Removed);
        EXPECT_NE(again.out.find("Outcome: nothing of the driver is installed: nothing to remove (exit code 0)"),
                  std::string::npos) << again.out;
        EXPECT_EQ(registryText(text), registryAfter);
        EXPECT_EQ(files(text), filesAfter);
    }
}

TEST(UnattendedRemoval, WithoutARegistryStepTheRemovalNeedsNoRestart) {
    RemoverRun run;
    machine9x(run);
    Script s = script9x();
    s.removal = {"[Delete System32]", "QRXUSB.SYS", "[Delete Inf]", "QRX*.INF"};
    run.script(s);
    const std::string registryBefore = registryText(run);
    const std::string expected = foretold(run, false);
    const Outcome o = runBusview(run, {"--remove"});
    EXPECT_EQ(o.status, busview::Removed);
    EXPECT_EQ(o.out, expected);
    EXPECT_NE(o.out.find("    deleted file C:\\windows\\system32\\drivers\\QRXUSB.SYS  [DeleteDriverFiles, entry 2]\n"),
              std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Outcome: removed; no restart is needed (exit code 0)"), std::string::npos);
    EXPECT_FALSE(run.exists("C:\\windows\\system32\\drivers\\QRXUSB.SYS"));
    EXPECT_FALSE(run.exists("C:\\windows\\inf\\QRXSER.INF"));
    EXPECT_TRUE(run.exists("C:\\windows\\inf\\QRXHIDE.INF"));  // hidden: never found
    EXPECT_EQ(registryText(run), registryBefore);
}

// Where the window program ends with its failure message or the standard
// report of a run-time error, the unattended run ends with 1603 and that
// text, having changed what the window program changes.
TEST(UnattendedRemoval, AFailedRemovalEnds1603WithTheFailureText) {
    {
        SCOPED_TRACE("a fourth-level key below the device key");
        RemoverRun window, run;
        machineNt(window, true);
        machineNt(run, true);
        removeByWindow(window, {mb::Yes, mb::Ok});
        const Outcome o = runBusview(run, {"--remove"});
        EXPECT_EQ(o.status, busview::RemovalFailed);
        EXPECT_NE(o.out.find("Outcome: the removal failed (exit code 1603)\n"
                             "  1) The USB adapter could not be fully uninstalled. / 2) You must login with "
                             "Adaministrator rights and re-run /      this program to complete the process.\n"),
                  std::string::npos) << o.out;
        EXPECT_TRUE(keysIn(run).count(Enum + "KELVARN"));
        EXPECT_EQ(registryText(run), registryText(window));
        EXPECT_EQ(files(run), files(window));
    }
    SCOPED_TRACE("a registry held by a running Wine server");
    RemoverRun window, run;
    machine9x(window);
    machine9x(run);
    const std::string registryBefore = registryText(run);
    std::vector<std::unique_ptr<fixtures::HeldServerLock>> servers;
    for (RemoverRun* r : {&window, &run}) {
        servers.push_back(std::make_unique<fixtures::HeldServerLock>(
            r->wineServerRoot() / sysaccess::registry::wineServerFolderName(r->prefix.path()) / "lock"));
    }
    removeByWindow(window, {mb::Yes, mb::Ok});
    const Outcome o = runBusview(run, {"--remove", "--json"});
    EXPECT_EQ(o.status, busview::RemovalFailed);
    EXPECT_NE(o.out.find("\"outcome\":{\"exitCode\":1603,\"result\":\"the removal failed\",\"restartNeeded\":false,"
                         "\"failure\":\"Run-time error '70':\\u000a\\u000aThe machine image is in use by Wine"),
              std::string::npos) << o.out;
    EXPECT_EQ(registryText(run), registryBefore);
    EXPECT_EQ(files(run), files(window));
}

// A removal that may not start, a script the remover rejects and a wrong
// command line change nothing.
TEST(UnattendedRemoval, RefusalsRejectedScriptsAndUsageErrorsChangeNothing) {
    RemoverRun run;
    machine9x(run);
    const std::string registryBefore = registryText(run);
    const auto filesBefore = files(run);

    const Outcome refused = runBusview(run, {"--remove", "--json"}, "Removing the driver needs an administrator.");
    EXPECT_EQ(refused.status, busview::RemovalFailed);
    EXPECT_NE(refused.out.find(",\"outcome\":{\"exitCode\":1603,\"result\":\"the removal was not started: nothing "
                               "was changed\",\"restartNeeded\":false,\"failure\":\"Removing the driver needs an "
                               "administrator.\"}}"),
              std::string::npos) << refused.out;
    EXPECT_EQ(refused.out.find("\"machine\""), std::string::npos);
    EXPECT_EQ(refused.err, "Busview: Removing the driver needs an administrator.\n");

    EXPECT_EQ(runBusview(run, {"--remove", "--machine"}).status, busview::UsageError);
    EXPECT_EQ(runBusview(run, {"--remove", "--force"}).status, busview::UsageError);
    std::ostringstream out, err;
    EXPECT_EQ(busview::run({"--remove"}, out, err, on(run)), busview::UsageError);
    EXPECT_EQ(busview::run({"missing.dat", "--remove"}, out, err, on(run)), busview::UsageError);

    Script shortScript = script9x();
    shortScript.dropLastFields = 1;
    run.script(shortScript);
    const Outcome rejected = runBusview(run, {"--remove"});
    EXPECT_EQ(rejected.status, busview::EndsSilently);
    EXPECT_NE(rejected.out.find("Outcome: the remover's start-up ends silently: nothing was removed (exit code 1)"),
              std::string::npos) << rejected.out;
    run.script(script9x());
    EXPECT_EQ(registryText(run), registryBefore);
    EXPECT_EQ(files(run), filesBefore);
}
