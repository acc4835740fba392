// The oem cleanup hands a matching setup-information file to the machine's
// driver-package removal first and deletes the files itself only when the
// machine did not do it.
#include <algorithm>
#include <map>

#include "RemoverHarness.h"

using remover_test::RemoverRun;

using remover_test::oemInf;
using remover_test::Inf;
using remover_test::Pair1;

namespace {



// The package removals and the deletions in the inf folder, in order.
std::vector<std::string> cleanupCalls(RemoverRun& run) {
    std::vector<std::string> r;
    for (const auto& c : run.calls().calls) {
        if (c.op == "package" || (c.op == "kill" && c.arg.starts_with(Inf))) r.push_back(c.op + " " + c.arg);
    }
    return r;
}

// Two matching files (one stored in upper case, one matching two pairs), a
// file that matches nothing, each with its companion; the device found
// installed and the run started up to the confirmation.
void machineWithOemFiles(RemoverRun& run) {
    run.prefix.file(Inf + "OEM3.INF", oemInf({{30, "USB\\VID_050D&PID_0109"}}));
    run.prefix.file(Inf + "OEM3.PNF", "precompiled");
    run.prefix.file(Inf + "oem7.inf", oemInf({{3, Pair1}, {20, "USB\\VID_050D&PID_2001"}}));
    run.prefix.file(Inf + "oem7.pnf", "precompiled");
    run.prefix.file(Inf + "oem9.inf", oemInf({}));
    run.prefix.file(Inf + "oem9.pnf", "precompiled");
    remover_test::Script s;
    s.removal = {"[Delete W2kinf]", "only"};
    run.script(s);
    run.start();
    ASSERT_FALSE(run.driver.finished());
    ASSERT_TRUE(run.window().Check1.Enabled);
}

// The run went through to its end: only the confirmation showed, and with no
// registry step the window stays open.
void expectCompleted(RemoverRun& run) {
    EXPECT_FALSE(run.driver.finished());
    EXPECT_EQ(run.driver.boxes().size(), 1u);
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
}

void expectOnlyTheUnmatchedFileLeft(RemoverRun& run) {
    for (const char* gone : {"OEM3.INF", "OEM3.PNF", "oem7.inf", "oem7.pnf"}) EXPECT_FALSE(run.exists(Inf + gone)) << gone;
    EXPECT_TRUE(run.exists(Inf + "oem9.inf"));
    EXPECT_TRUE(run.exists(Inf + "oem9.pnf"));
}

}  // namespace

TEST(DriverPackages, TheMachineRemovesEachMatchingPackageOnceAndTheRemoverDeletesNothingOfIt) {
    RemoverRun run;
    machineWithOemFiles(run);
    // The start-up check only reads: it never asks for a removal.
    EXPECT_EQ(cleanupCalls(run), std::vector<std::string>{});

    // A machine with a driver store takes both files of the package away.
    std::vector<std::string> removed;
    run.calls().driverStore = [&](const std::string& name) {
        removed.push_back(name);
        const std::string base = name.substr(0, name.size() - 4);
        run.machine().deleteFile(Inf + name);
        run.machine().deleteFile(Inf + base + ".PNF");
        return true;
    };
    run.uninstall({6});

    expectCompleted(run);
    expectOnlyTheUnmatchedFileLeft(run);
    // Asked by the stored name, once per file over the 50 runs, whatever
    // pairs it matches; the companion's deletion then finds nothing, which
    // does not stop the run.
    EXPECT_EQ(removed, (std::vector<std::string>{"OEM3.INF", "oem7.inf"}));
    EXPECT_EQ(cleanupCalls(run), (std::vector<std::string>{"package OEM3.INF", "kill " + Inf + "OEM3.pnf",
                                                           "package oem7.inf", "kill " + Inf + "oem7.pnf"}));
}

TEST(DriverPackages, WithoutAPackageRemovalTheFilesAreDeletedAsBefore) {
    // The prefix has no driver store; a store that refuses is the same.
    for (const bool refusingStore : {false, true}) {
        SCOPED_TRACE(refusingStore ? "a store that refuses" : "no store");
        RemoverRun run;
        machineWithOemFiles(run);
        if (refusingStore) run.calls().driverStore = [](const std::string&) { return false; };
        run.uninstall({6});

        expectCompleted(run);
        expectOnlyTheUnmatchedFileLeft(run);
        EXPECT_EQ(cleanupCalls(run),
                  (std::vector<std::string>{"package OEM3.INF", "kill " + Inf + "OEM3.INF", "kill " + Inf + "OEM3.pnf",
                                            "package oem7.inf", "kill " + Inf + "oem7.inf", "kill " + Inf + "oem7.pnf"}));
    }
}

// A store that takes only the ".inf" away leaves the companion to the
// remover's own deletion.
TEST(DriverPackages, ACompanionTheMachineLeftIsDeletedByTheRemover) {
    RemoverRun run;
    machineWithOemFiles(run);
    run.calls().driverStore = [&](const std::string& name) {
        run.machine().deleteFile(Inf + name);
        return true;
    };
    run.uninstall({6});

    expectCompleted(run);
    expectOnlyTheUnmatchedFileLeft(run);
    const auto calls = cleanupCalls(run);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "kill " + Inf + "oem7.inf"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "kill " + Inf + "oem7.pnf"), 1);
}
