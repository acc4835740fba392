// Every trap of a removal script is reported, with its field and line, by a
// script that has it, and not by one that does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <unistd.h>

#include "remover/RemoverHarness.h"
#include "viewer/Busview.h"
#include "viewer/ScriptTraps.h"

using remover_test::Script;
using busview::Trap;

namespace {

// A sound script: every field on a line of its own, so field n is on line n.
Script sound() {
    Script s;
    s.removal = {"[Delete Registry]", "Enum\\USB", "[Delete System]", "QRXSER.VXD", "[Delete W2kinf]"};
    return s;
}

std::vector<Trap> trapsOf(const std::string& text) {
    busview::ScriptFields fields(std::make_unique<sysaccess::files::MemoryInputFile>(text));
    busview::ScriptLayout layout(fields);
    return busview::ScriptTraps::find(layout);
}

std::vector<Trap> only(const std::vector<Trap>& all, Trap::Kind kind) {
    std::vector<Trap> r;
    std::copy_if(all.begin(), all.end(), std::back_inserter(r), [kind](const Trap& t) { return t.kind == kind; });
    return r;
}

struct Case {
    const char* name;
    Trap::Kind kind;
    std::string text;  // the script with the trap
    int field;         // where the trap starts
    std::size_t line;
};

std::vector<Case> cases() {
    std::vector<Case> all;
    Script s = sound();
    s.dropLastFields = 1;
    all.push_back({"short", Trap::Kind::ShortScript, s.text(), 145, 144});

    s = sound();
    s.linkSwitch = "yes";
    all.push_back({"word switch", Trap::Kind::LinkSwitch, s.text(), 10, 10});
    s.linkSwitch = "";
    all.push_back({"empty switch", Trap::Kind::LinkSwitch, s.text(), 10, 10});

    s = sound();
    s.lostFields = "QRXUSB.SYS";
    all.push_back({"lost fields", Trap::Kind::LostFields, s.text(), 116, 116});

    s = sound();
    s.removal.push_back("");
    s.removal.push_back("QRXUSB.SYS");
    all.push_back({"list ends early", Trap::Kind::ListEndsEarly, s.text(), 41, 41});

    s = sound();
    s.removal.push_back("[delete system32]");
    all.push_back({"header case", Trap::Kind::HeaderCase, s.text(), 41, 41});

    s = sound();
    s.removal.insert(s.removal.begin(), "QRXOLD.VXD");
    all.push_back({"before first header", Trap::Kind::BeforeFirstHeader, s.text(), 36, 36});

    s = sound();
    s.noMarker = true;
    all.push_back({"no marker", Trap::Kind::NoMarker, s.text(), 14, 14});

    s = sound();
    s.matches = {"VID_0E4B", "", "PID_02"};
    all.push_back({"empty fragment", Trap::Kind::EmptyFragment, s.text(), 15, 15});

    s = sound();
    s.removal.insert(s.removal.begin() + 4, "sub\\QRX.SYS");
    all.push_back({"folder part", Trap::Kind::FolderPart, s.text(), 40, 40});

    s = sound();
    s.removal[3] = "..\\win.ini";
    all.push_back({"leaves folder", Trap::Kind::LeavesFolder, s.text(), 39, 39});

    s = sound();
    s.removal.push_back("oem");
    all.push_back({"many oem entries", Trap::Kind::ManyOemEntries, s.text(), 40, 40});
    return all;
}

}  // namespace

TEST(ScriptTraps, ASoundScriptHasNone) {
    const auto traps = trapsOf(sound().text());
    for (const Trap& t : traps) ADD_FAILURE() << busview::trapName(t.kind) << ": " << t.text;
}

TEST(ScriptTraps, EachTrapIsFoundWhereItStarts) {
    const std::string clean = sound().text();
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(only(trapsOf(clean), c.kind).empty());
        const auto found = only(trapsOf(c.text), c.kind);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found[0].field, c.field);
        EXPECT_EQ(found[0].line, c.line);
    }
}

// An unquoted comma in a header text shifts every later field: the link
// switch becomes a word, and the line given is the one the comma is on.
TEST(ScriptTraps, AnUnquotedCommaShiftsTheFieldsAndItsLineIsGiven) {
    std::string text = sound().text();
    const std::size_t line4 = text.find("Tarnwick Devices Inc.");
    text.replace(line4, 21, "Tarnwick, Devices Inc.");
    const auto traps = trapsOf(text);
    const auto sw = only(traps, Trap::Kind::LinkSwitch);
    ASSERT_EQ(sw.size(), 1u);
    EXPECT_EQ(sw[0].line, 9u);  // field 10 is now the old field 9, on line 9
}

// Lines are counted as the reader ends them: a quoted field over two lines,
// lone LF and lone CR line ends.
TEST(ScriptTraps, LinesFollowTheReadersLineEnds) {
    Script s = sound();
    s.info[1] = "two\r\nlines";
    s.lostFields = "x";
    std::string text = s.text();
    text.replace(text.find("two\r\nlines"), 10, "\"two\r\nlines\"");  // one field over two lines
    text.replace(text.find("Version 1.0\r\n"), 13, "Version 1.0\r");    // a lone CR
    text.replace(text.find("Tel +1 555 0100\r\n"), 17, "Tel +1 555 0100\n");  // a lone LF
    const auto lost = only(trapsOf(text), Trap::Kind::LostFields);
    ASSERT_EQ(lost.size(), 10u);
    EXPECT_EQ(lost[0].field, 116);
    EXPECT_EQ(lost[0].line, 117u);  // one line further down for the quoted field
    EXPECT_EQ(lost[9].line, 126u);
}

TEST(BusviewCommand, ExitStatusTellsWhetherStartUpAcceptsTheScript) {
    const auto dir = std::filesystem::temp_directory_path() / ("busview-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, const std::string& text) {
        fixtures::writeHostFile(dir / name, text);
        return (dir / name).string();
    };
    Script bad = sound();
    bad.linkSwitch = "on";
    Script shortScript = sound();
    shortScript.dropLastFields = 3;
    std::ostringstream out, err;
    EXPECT_EQ(busview::run({write("good.dat", sound().text())}, out, err), busview::Accepted);
    EXPECT_NE(out.str().find("Start-up accepts the script."), std::string::npos);
    EXPECT_EQ(busview::run({write("bad.dat", bad.text())}, out, err), busview::EndsSilently);
    EXPECT_EQ(busview::run({write("short.dat", shortScript.text())}, out, err), busview::EndsSilently);
    EXPECT_EQ(busview::run({}, out, err), busview::UsageError);
    EXPECT_EQ(busview::run({"a", "b"}, out, err), busview::UsageError);
    EXPECT_EQ(busview::run({"--frobnicate", "a"}, out, err), busview::UsageError);
    EXPECT_EQ(busview::run({(dir / "missing.dat").string()}, out, err), busview::UsageError);
    std::ostringstream help;
    EXPECT_EQ(busview::run({"--help"}, help, err), busview::Accepted);
    EXPECT_NE(help.str().find("Usage: Busview SCRIPT"), std::string::npos);
    std::ostringstream json;
    busview::run({(dir / "bad.dat").string(), "--json"}, json, err);
    EXPECT_EQ(json.str().front(), '{');
    EXPECT_NE(json.str().find("\"kind\":\"link-switch\",\"field\":10,\"line\":10"), std::string::npos);
    std::filesystem::remove_all(dir);
}
