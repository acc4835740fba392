// The installed-driver check at start-up: which files enable the device
// check box, which leave it disabled, and where the walk stops.
#include <map>

#include "RemoverHarness.h"

using fixtures::Attr;
using remover_test::RemoverRun;
using remover_test::Script;

namespace {

// An oem setup-information file of 60 one-line fields, with the given
// texts at the given field numbers (1-based).
std::string oemInf(const std::map<int, std::string>& at) {
    static const char* const lines[] = {"[Version]",         "Signature=$Windows NT$", "Class=Ports",
                                        "Provider=%Mfg%",    "DriverVer=07/14/2001",   "[Manufacturer]",
                                        "%Mfg%=Models",      "[Models]",               "[Install]",
                                        "CopyFiles=Drivers", "; driver files",         "[Strings]"};
    std::string text;
    for (int f = 1; f <= 60; ++f) {
        auto it = at.find(f);
        text += (it != at.end() ? it->second : lines[(f - 1) % 12]) + std::string("\r\n");
    }
    return text;
}

struct Outcome {
    bool enabled = false;
    int entryIndex = 0;
};

// Starts the remover over these files with this removal list.
Outcome check(const std::vector<std::string>& removal,
              const std::vector<std::pair<std::string, std::string>>& files, Attr attrs = Attr::None) {
    Script s;
    s.removal = removal;
    RemoverRun run;
    for (const auto& [path, bytes] : files) run.prefix.file(path, bytes, attrs);
    run.script(s);
    run.start();
    EXPECT_TRUE(run.driver.boxes().empty());
    EXPECT_FALSE(run.driver.finished()) << "the start-up ended";
    if (run.driver.finished()) return {};
    return {run.window().Check1.Enabled, run.window().EntryIndex};
}

const std::string Pair1 = "USB\\VID_0E4B&PID_0230";
const std::string Inf = "C:\\windows\\inf\\";

}  // namespace

TEST(InstalledCheck, FirstPresentFileEnablesAndEndsTheWalk) {
    // A broken oem file behind the hit would end the start-up if it were read.
    const auto o = check({"[Delete System32]", "MISSING.SYS", "ADP.SYS", "[Delete W2kinf]", "x"},
                         {{"C:\\windows\\system32\\drivers\\ADP.SYS", "x"}, {Inf + "oem1.inf", "a,b,c\r\n"}});
    EXPECT_TRUE(o.enabled);
    EXPECT_EQ(o.entryIndex, 3);

    // Nothing listed is present: the last miss leaves it disabled.
    const auto none = check({"[Delete System]", "ADP.SYS", "[Delete Inf]", "ADP.INF"}, {});
    EXPECT_FALSE(none.enabled);
    EXPECT_EQ(none.entryIndex, 5);

    const auto empty = check({}, {{"C:\\windows\\system\\ADP.SYS", "x"}});
    EXPECT_FALSE(empty.enabled);
    EXPECT_EQ(empty.entryIndex, 1);
}

TEST(InstalledCheck, EachSectionSearchesItsOwnFolder) {
    const std::vector<std::pair<std::string, std::string>> sections{
        {"", "C:\\windows\\system\\"},
        {"[Delete System]", "C:\\windows\\system\\"},
        {"[Delete System32]", "C:\\windows\\system32\\drivers\\"},
        {"[Delete Inf]", "C:\\windows\\inf\\"},
        {"[Delete Other]", "C:\\windows\\inf\\other\\"}};
    for (const auto& [header, folder] : sections) {
        SCOPED_TRACE(header.empty() ? "before any header" : header);
        std::vector<std::string> removal;
        if (!header.empty()) removal.push_back(header);
        removal.push_back("ADP.BIN");
        EXPECT_TRUE(check(removal, {{folder + "ADP.BIN", "x"}}).enabled);
        for (const auto& other : sections) {
            if (other.second != folder) {
                EXPECT_FALSE(check(removal, {{other.second + "ADP.BIN", "x"}}).enabled) << other.second;
            }
        }
    }
    // "[Delete Registry]" is no header here: its items are files of the inf section.
    EXPECT_TRUE(check({"[Delete Inf]", "[Delete Registry]", "ADP.INF"}, {{Inf + "ADP.INF", "x"}}).enabled);
    // A key path is looked up as a path below the folder in force: a plain miss.
    const auto keys = check({"[Delete Registry]", "SYSTEM\\CurrentControlSet\\Services\\Class\\Ports", "Enum\\USB"},
                            {{"C:\\windows\\system\\ADP.SYS", "x"}});
    EXPECT_FALSE(keys.enabled);
}

TEST(InstalledCheck, OnlyNormalFilesMatchingTheEntryCount) {
    const std::vector<std::string> removal{"[Delete System]", "ADP*.SYS"};
    for (const Attr hidden : {Attr::Hidden, Attr::System, Attr::Hidden | Attr::System}) {
        const auto o = check(removal, {{"C:\\windows\\system\\ADP1.SYS", "x"}, {"C:\\windows\\system\\ADP2.SYS", "x"}},
                             hidden);
        EXPECT_FALSE(o.enabled);
    }
    EXPECT_TRUE(check(removal, {{"C:\\windows\\system\\ADP7.SYS", "x"}}).enabled);
    EXPECT_TRUE(check({"[Delete System]", "ADP?.SYS"}, {{"C:\\windows\\system\\ADPX.SYS", "x"}}).enabled);
    EXPECT_FALSE(check(removal, {{"C:\\windows\\system\\ADP.VXD", "x"}}).enabled);
    EXPECT_FALSE(check(removal, {{"C:\\windows\\system\\sub\\ADP1.SYS", "x"}}).enabled);
}

TEST(InstalledCheck, OemFilesEnableOnTheFirstTwoPairsOnly) {
    const std::vector<std::string> oem{"[Delete W2kinf]", "x"};
    const std::vector<std::pair<std::string, std::string>> enabling{
        {"pair 1", "USB\\VID_0E4B&PID_0230"},
        {"pair 1, any 02 id", "PID_02FF VID_0E4B"},
        {"pair 2", "USB\\VID_050D&PID_0109"},
    };
    for (const auto& [what, id] : enabling) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(check(oem, {{Inf + "oem4.inf", oemInf({{10, id}})}}).enabled);
    }
    const std::vector<std::pair<std::string, std::string>> notEnabling{
        {"pair 3", "USB\\VID_07A6&PID_0986"},
        {"pair 4", "USB\\VID_050D&PID_2001"},
        {"other product", "USB\\VID_0E4B&PID_0330"},
        {"letter case", "USB\\vid_0e4b&pid_0230"},
    };
    for (const auto& [what, id] : notEnabling) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(check(oem, {{Inf + "oem4.inf", oemInf({{10, id}})}}).enabled);
    }
    // Both texts must stand in one field, within the first 50.
    EXPECT_FALSE(check(oem, {{Inf + "oem4.inf", oemInf({{10, "USB\\VID_0E4B"}, {11, "PID_0230"}})}}).enabled);
    EXPECT_FALSE(check(oem, {{Inf + "oem4.inf", oemInf({{51, Pair1}})}}).enabled);
    EXPECT_TRUE(check(oem, {{Inf + "oem4.inf", oemInf({{50, Pair1}})}}).enabled);
}

TEST(InstalledCheck, OemCandidatesAreOem0ToOem50AsNormalFiles) {
    const std::vector<std::string> oem{"[Delete W2kinf]"};
    EXPECT_TRUE(check(oem, {{Inf + "oem0.inf", oemInf({{1, Pair1}})}}).enabled);
    // Gaps do not stop the search.
    EXPECT_TRUE(check(oem, {{Inf + "oem2.inf", oemInf({})}, {Inf + "oem50.inf", oemInf({{5, Pair1}})}}).enabled);
    EXPECT_TRUE(check(oem, {{Inf + "OEM9.INF", oemInf({{5, Pair1}})}}).enabled);
    for (const char* name : {"oem51.inf", "oem07.inf", "oem100.inf", "xoem1.inf"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(check(oem, {{Inf + name, oemInf({{5, Pair1}})}}).enabled);
    }
    EXPECT_FALSE(check(oem, {{Inf + "oem3.inf", oemInf({{5, Pair1}})}}, Attr::Hidden).enabled);
    // A match far into a long field is found: positions are not limited to 16 bits.
    EXPECT_TRUE(check(oem, {{Inf + "oem3.inf", oemInf({{5, std::string(40000, 'x') + Pair1}})}}).enabled);
    EXPECT_TRUE(check(oem, {{Inf + "oem3.inf", oemInf({{5, "USB\\VID_050D" + std::string(70000, ' ') + "PID_0109"}})}})
                    .enabled);
}

TEST(InstalledCheck, ALaterMissDisablesAgainAndAShortOemFileEndsTheStartUp) {
    const std::pair<std::string, std::string> match{Inf + "oem1.inf", oemInf({{8, Pair1}})};
    EXPECT_FALSE(check({"[Delete W2kinf]", "[Delete System]", "ADP.SYS"}, {match}).enabled);
    EXPECT_TRUE(check({"[Delete System]", "ADP.SYS", "[Delete W2kinf]"}, {match}).enabled);
    // A miss followed by oem entries that find nothing stays disabled.
    EXPECT_FALSE(check({"[Delete System]", "ADP.SYS", "[Delete W2kinf]", "x"}, {}).enabled);

    // Fewer than 50 fields in a candidate: reading past its end ends the
    // remover silently before its window shows.
    Script s;
    s.removal = {"[Delete W2kinf]"};
    RemoverRun run;
    run.prefix.file(Inf + "oem1.inf", "[Version]\r\nClass=Ports\r\n");
    run.script(s);
    run.start();
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.driver.openedWindows().empty());
    EXPECT_TRUE(run.driver.boxes().empty());
}

// The check looks only where the removal would delete: a file reached by
// climbing out of the section's folder, or by an absolute path or a drive,
// does not count as installed.
TEST(InstalledCheck, FilesOutsideTheSectionFolderDoNotCount) {
    const std::vector<std::pair<std::string, std::string>> present = {
        {"C:\\windows\\win.ini", "x"}, {"C:\\somefile", "x"}, {"C:\\windows\\system\\sub\\ADP.SYS", "x"}};
    for (const std::string entry : {"..\\win.ini", "..\\..\\somefile", "C:\\somefile", "\\somefile", "c:somefile",
                                    "sub\\..\\..\\win.ini", "A:Unins.dat"}) {
        EXPECT_FALSE(check({"[Delete System]", entry}, present).enabled) << entry;
    }
    EXPECT_TRUE(check({"[Delete System]", "sub\\ADP.SYS"}, present).enabled);
    EXPECT_TRUE(check({"[Delete System]", "sub\\.\\..\\sub\\ADP.SYS"}, present).enabled);
}
