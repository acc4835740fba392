// The removal run's file steps: folder deletion by name and pattern, the oem
// setup-information cleanup, what ends a run half-way, and the progress bar.
#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "RemoverHarness.h"

using fixtures::Attr;
using remover_test::RemoverRun;
using remover_test::Script;

using remover_test::oemInf;
using remover_test::Inf;
using remover_test::Pair1;

namespace {

const std::string Sys = "C:\\windows\\system\\";


// The run went through: only the confirmation was shown and, with no
// registry step, the window stays open.
void expectCompleted(RemoverRun& run) {
    EXPECT_FALSE(run.driver.finished());
    ASSERT_EQ(run.driver.boxes().size(), 1u);
    EXPECT_EQ(run.driver.boxes()[0].title, "Uninstall driver");
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
}

// The run ended with the standard report of a failure.
void expectReport(RemoverRun& run, const std::string& failure) {
    EXPECT_TRUE(run.driver.finished());
    ASSERT_EQ(run.driver.boxes().size(), 2u);
    const auto& box = run.driver.boxes()[1];
    EXPECT_EQ(box.style, 16);
    EXPECT_EQ(box.title, "Busclean");
    EXPECT_NE(box.text.find(failure), std::string::npos) << box.text;
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
}

int kills(RemoverRun& run, const std::string& path) {
    const auto& c = run.calls().calls;
    return static_cast<int>(std::count_if(c.begin(), c.end(), [&](const auto& x) { return x.op == "kill" && x.arg == path; }));
}

// Which of the 27 progress blocks are visible: "#" shown, "." hidden.
std::string visibleBlocks(busclean::Uninstall& w) {
    std::string s;
    for (int n = 1; n <= 27; ++n) s += w.Block(n).Visible ? '#' : '.';
    return s;
}
std::string blocks(std::initializer_list<std::pair<int, int>> ranges) {
    std::string s(27, '.');
    for (auto [first, last] : ranges) std::fill(s.begin() + first - 1, s.begin() + last, '#');
    return s;
}

// Every run of the oem cleanup starts with a search for oem0.inf: notes the
// progress blocks visible as each run begins.
class OemRunLog : public fixtures::RecordingPlatform {
public:
    explicit OemRunLog(RemoverRun& run) : RecordingPlatform(static_cast<sysaccess::Platform&>(run.calls())), run_(run) {}
    std::vector<std::string> blocksAtRun;
    std::string findFirstFile(const std::string& pattern) override {
        if (pattern.ends_with("\\oem0.inf")) blocksAtRun.push_back(visibleBlocks(run_.window()));
        return RecordingPlatform::findFirstFile(pattern);
    }

private:
    RemoverRun& run_;
};

}  // namespace

TEST(FolderSteps, PatternDeletesEveryNormalMatchInItsFolderOnly) {
    RemoverRun run;
    for (const char* name : {"ADP.SYS", "ADP1.SYS", "ADP2.SYS"}) run.prefix.file(Sys + name, "driver");
    run.prefix.file(Sys + "ADP3.SYS", "hidden", Attr::Hidden);
    run.prefix.file(Sys + "sub\\ADP4.SYS", "in a sub-folder");
    run.prefix.file(Sys + "KEEP.SYS", "other driver");
    run.prefix.file("C:\\windows\\system32\\drivers\\ADP5.SYS", "other folder");
    std::filesystem::remove_all(run.prefix.host("C:\\windows\\inf\\other"));
    run.removeWith({"[Delete System]", "ADP*.SYS", "[Delete Other]", "ADP*.INF"});

    expectCompleted(run);
    for (const char* gone : {"ADP.SYS", "ADP1.SYS", "ADP2.SYS"}) EXPECT_FALSE(run.exists(Sys + gone)) << gone;
    for (const char* kept : {"ADP3.SYS", "sub\\ADP4.SYS", "KEEP.SYS"}) EXPECT_TRUE(run.exists(Sys + kept)) << kept;
    EXPECT_TRUE(run.exists("C:\\windows\\system32\\drivers\\ADP5.SYS"));
    EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"write", "kill", "kill", "kill", "kill"}));
    EXPECT_TRUE(run.window().FoundName.empty());
    EXPECT_EQ(run.window().EntryIndex, 5);
}

TEST(FolderSteps, EntryWithAFolderPartDeletesWhatTheSearchFound) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "the top-level file");
    run.prefix.file(Sys + "sub\\ADP.SYS", "a");
    run.prefix.file(Sys + "sub\\ADP2.SYS", "b");
    run.removeWith({"[Delete System]", "sub\\ADP*.SYS"});

    expectCompleted(run);
    EXPECT_FALSE(run.exists(Sys + "sub\\ADP.SYS"));
    EXPECT_FALSE(run.exists(Sys + "sub\\ADP2.SYS"));
    EXPECT_TRUE(run.exists(Sys + "ADP.SYS"));
}

// Entries that climb out of their folder, are absolute or name a drive find
// nothing and delete nothing, also through the prefix's link into the home
// folder; an entry that climbs down and back stays in its folder and works.
TEST(FolderSteps, EntriesReachingOutsideTheirFolderDeleteNothing) {
    RemoverRun run;
    fixtures::TempDir home;
    const auto outside = home.path() / "Desktop";
    std::filesystem::create_directories(outside);
    fixtures::writeHostFile(outside / "photo.jpg", "precious");
    std::filesystem::create_directories(run.prefix.host("C:\\users\\x"));
    std::filesystem::create_directory_symlink(outside, run.prefix.host("C:\\users\\x") / "Desktop");
    const std::vector<std::string> kept = {"C:\\somefile", "C:\\windows\\win.ini", "C:\\windows\\inf\\keep.inf",
                                           "A:\\Unins.dat"};
    for (const auto& f : kept) if (f != "A:\\Unins.dat") run.prefix.file(f, "keep");
    run.prefix.file(Sys + "ADP.SYS", "driver");
    run.removeWith({"[Delete System]", "..\\..\\..\\somefile", "..\\*", "..\\..\\users\\x\\Desktop\\*",
                     "sub\\..\\..\\*", "C:\\windows\\win.ini", "\\windows\\win.ini", "\\\\server\\share\\x",
                     "a:Unins.dat", "...\\win.ini", ".. \\win.ini", "sub\\..\\ADP.SYS", "[Delete Other]",
                     "..\\keep.inf"});

    expectCompleted(run);
    EXPECT_EQ(fixtures::readHostFile(outside / "photo.jpg"), "precious");
    for (const auto& f : kept) EXPECT_TRUE(run.exists(f)) << f;
    EXPECT_FALSE(run.exists(Sys + "ADP.SYS"));  // the entry went down and back: still its folder
    EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"write", "kill", "kill"}));
}

TEST(FolderSteps, UndeletableMatchEndsTheRunWithTheStandardReport) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "x");
    run.prefix.file(Inf + "ADPA.INF", "x");
    run.prefix.file(Inf + "ADPB.INF", "x", Attr::ReadOnly);
    run.prefix.file(Inf + "ADPC.INF", "x");
    run.prefix.file("C:\\windows\\inf\\other\\LATER.INF", "x");
    run.removeWith({"[Delete Inf]", "ADP*.INF", "[Delete Other]", "LATER.INF"});

    expectReport(run, "Path/File access error");
    EXPECT_FALSE(run.exists(Inf + "ADPA.INF"));  // deleted before the failure: stays deleted
    EXPECT_TRUE(run.exists(Inf + "ADPB.INF"));
    EXPECT_TRUE(run.exists(Inf + "ADPC.INF"));
    EXPECT_TRUE(run.exists("C:\\windows\\inf\\other\\LATER.INF"));
}

TEST(OemFiles, CleanupDeletesEveryMatchingCandidateOnceWithItsCompanion) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "x");
    const std::map<std::string, std::string> deleted{
        {"oem0.inf", oemInf({{12, Pair1}})},
        {"OEM3.INF", oemInf({{30, "USB\\VID_050D&PID_0109"}})},
        {"oem5.inf", oemInf({{7, "USB\\VID_07A6&PID_0986"}})},
        {"oem6.inf", oemInf({{50, "USB\\VID_050D&PID_2001"}})},  // no companion
        {"oem7.inf", oemInf({{3, Pair1}, {20, "USB\\VID_050D&PID_2001"}})},
        {"oem22.inf", oemInf({{5, "\"" + std::string(40000, 'x') + "," + Pair1 + "\""}})},
        {"oem50.inf", oemInf({{1, "PID_02AB VID_0E4B"}})},
    };
    const std::map<std::string, std::string> kept{
        {"oem12.inf", oemInf({{10, "USB\\VID_0E4B"}, {11, "PID_0230"}})},
        {"oem14.inf", oemInf({{51, Pair1}})},
        {"oem30.inf", oemInf({})},
        {"oem51.inf", oemInf({{5, Pair1}})},
        {"mdmusb.inf", oemInf({{5, Pair1}})},
    };
    for (const auto& [name, text] : deleted) run.prefix.file(Inf + name, text);
    for (const auto& [name, text] : kept) run.prefix.file(Inf + name, text);
    for (const char* pnf : {"oem0.pnf", "OEM3.PNF", "oem5.pnf", "oem7.pnf", "oem22.pnf", "oem30.pnf", "oem50.pnf"}) {
        run.prefix.file(Inf + pnf, "precompiled");
    }
    run.prefix.file(Inf + "oem25.inf", oemInf({{5, Pair1}}), Attr::Hidden);
    run.removeWith({"[Delete System]", "ADP.SYS", "[Delete W2kinf]"});

    expectCompleted(run);
    for (const auto& [name, text] : deleted) EXPECT_FALSE(run.exists(Inf + name)) << name;
    for (const auto& [name, text] : kept) EXPECT_TRUE(run.exists(Inf + name)) << name;
    for (const char* gone : {"oem0.pnf", "OEM3.PNF", "oem5.pnf", "oem7.pnf", "oem22.pnf", "oem50.pnf"}) {
        EXPECT_FALSE(run.exists(Inf + gone)) << gone;
    }
    EXPECT_TRUE(run.exists(Inf + "oem30.pnf"));
    EXPECT_TRUE(run.exists(Inf + "oem25.inf"));
    // The companion's name is the stored name with ".pnf" for its extension.
    EXPECT_EQ(kills(run, Inf + "OEM3.pnf"), 1);
    // Matching two pairs, the file is still deleted once.
    EXPECT_EQ(kills(run, Inf + "oem7.inf"), 1);
    EXPECT_EQ(kills(run, Inf + "oem7.pnf"), 1);
}

TEST(OemFiles, UndeletableCompanionOrShortCandidateEndsTheRun) {
    {
        RemoverRun run;
        run.prefix.file(Sys + "ADP.SYS", "x");
        run.prefix.file(Inf + "oem1.inf", oemInf({{9, Pair1}}));
        run.prefix.file(Inf + "oem1.pnf", "precompiled", Attr::ReadOnly);
        run.prefix.file(Inf + "LATER.INF", "x");
        run.removeWith({"[Delete System]", "ADP.SYS", "[Delete W2kinf]", "[Delete Inf]", "LATER.INF"});
        expectReport(run, "Path/File access error");
        EXPECT_FALSE(run.exists(Inf + "oem1.inf"));
        EXPECT_TRUE(run.exists(Inf + "oem1.pnf"));
        EXPECT_TRUE(run.exists(Inf + "LATER.INF"));
    }
    {
        // Fewer than 50 fields: the read runs past the end of the file.
        RemoverRun run;
        run.prefix.file(Sys + "ADP.SYS", "x");
        run.prefix.file(Inf + "oem1.inf", oemInf({{9, Pair1}}));
        run.prefix.file(Inf + "oem2.inf", "[Version]\r\nClass=Ports\r\n");
        run.prefix.file(Inf + "oem3.inf", oemInf({{9, Pair1}}));
        run.removeWith({"[Delete System]", "ADP.SYS", "[Delete W2kinf]"});
        expectReport(run, "Input past end of file");
        EXPECT_FALSE(run.exists(Sys + "ADP.SYS"));
        EXPECT_FALSE(run.exists(Inf + "oem1.inf"));
        EXPECT_TRUE(run.exists(Inf + "oem2.inf"));
        EXPECT_TRUE(run.exists(Inf + "oem3.inf"));
    }
}

TEST(Progress, BlocksFillSectionBySectionAndOemEntriesRunFiftyTimesEach) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "x");
    Script s;
    s.removal = {"[Delete System]", "ADP.SYS", "[Delete System32]", "[Delete Inf]",
                 "ADP.INF",         "[Delete Other]", "[Delete W2kinf]", "first", "second"};
    run.script(s);
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);

    std::vector<std::string> states;
    run.driver.onRefresh = [&](sysaccess::ui::Form& f) {
        const std::string now = visibleBlocks(dynamic_cast<busclean::Uninstall&>(f));
        if (states.empty() || states.back() != now) states.push_back(now);
    };
    OemRunLog log(run);
    sysaccess::PlatformGuard guard(log);
    const auto before = run.driver.clock();
    run.uninstall({6});
    run.driver.onRefresh = nullptr;

    expectCompleted(run);
    EXPECT_EQ(states, (std::vector<std::string>{blocks({}), blocks({{5, 8}}), blocks({{5, 12}}), blocks({{5, 16}}),
                                                blocks({{5, 20}}), blocks({{5, 21}}), blocks({{5, 22}}),
                                                blocks({{5, 23}}), blocks({{5, 25}}), blocks({{5, 27}})}));
    // Six folder entries pause 50 ms each; the oem runs do not pause.
    EXPECT_EQ(run.driver.clock() - before, 300u);

    // Header and two items: 150 runs. A block shows after runs 10, 20, 30;
    // two after runs 40 and 50.
    ASSERT_EQ(log.blocksAtRun.size(), 150u);
    const std::map<int, std::string> atRunStart{
        {1, blocks({{5, 20}})},  {10, blocks({{5, 20}})}, {11, blocks({{5, 21}})}, {21, blocks({{5, 22}})},
        {31, blocks({{5, 23}})}, {40, blocks({{5, 23}})}, {41, blocks({{5, 25}})}, {50, blocks({{5, 25}})},
        {51, blocks({{5, 27}})}, {150, blocks({{5, 27}})}};
    for (const auto& [runNumber, expected] : atRunStart) {
        EXPECT_EQ(log.blocksAtRun[static_cast<std::size_t>(runNumber - 1)], expected) << "run " << runNumber;
    }
}

TEST(Progress, SectionsOutOfOrderFillTheirOwnBlocks) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "x");
    Script s;
    s.removal = {"[Delete Other]", "[Delete System]", "ADP.SYS"};
    run.script(s);
    run.start();
    std::vector<std::string> states;
    run.driver.onRefresh = [&](sysaccess::ui::Form& f) {
        const std::string now = visibleBlocks(dynamic_cast<busclean::Uninstall&>(f));
        if (states.empty() || states.back() != now) states.push_back(now);
    };
    run.uninstall({6});
    run.driver.onRefresh = nullptr;

    expectCompleted(run);
    EXPECT_EQ(states, (std::vector<std::string>{blocks({}), blocks({{17, 20}}), blocks({{5, 8}, {17, 20}})}));
    EXPECT_FALSE(run.exists(Sys + "ADP.SYS"));
}

// Over folders that have not changed for a while the file search keeps their
// listings; what other programs add meanwhile, and what the run deletes
// itself, must still show in the next searches.
TEST(OemFiles, SearchesOverASettledFolderSeeChangesMadeDuringTheRun) {
    RemoverRun run;
    run.prefix.file(Inf + "ADP1.INF", "x");
    run.prefix.file(Inf + "oem1.inf", oemInf({{9, Pair1}}));
    run.prefix.file(Inf + "oem1.pnf", "precompiled");
    for (int n = 0; n < 40; ++n) run.prefix.file(Inf + "mdm" + std::to_string(n) + ".inf", oemInf({}));
    std::this_thread::sleep_for(std::chrono::milliseconds(3200));
    Script s;
    s.removal = {"[Delete Inf]", "ADP*.INF", "[Delete W2kinf]"};
    run.script(s);
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);

    // Another installer drops a matching file while the cleanup runs.
    class LateInstaller : public fixtures::RecordingPlatform {
    public:
        explicit LateInstaller(RemoverRun& run) : RecordingPlatform(static_cast<sysaccess::Platform&>(run.calls())), run_(run) {}
        std::string findFirstFile(const std::string& pattern) override {
            if (pattern.ends_with("\\oem0.inf") && ++runs_ == 10) {
                fixtures::writeHostFile(run_.prefix.host(Inf + "oem2.inf"), oemInf({{4, Pair1}}));
            }
            return RecordingPlatform::findFirstFile(pattern);
        }

    private:
        RemoverRun& run_;
        int runs_ = 0;
    } installer(run);
    sysaccess::PlatformGuard guard(installer);
    run.uninstall({6, 1});

    expectCompleted(run);
    for (const char* gone : {"ADP1.INF", "oem1.inf", "oem1.pnf", "oem2.inf"}) EXPECT_FALSE(run.exists(Inf + gone)) << gone;
    EXPECT_EQ(kills(run, Inf + "oem1.inf"), 1);
    EXPECT_TRUE(run.exists(Inf + "mdm0.inf"));
}
