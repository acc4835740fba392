// The remover's start-up: where the script comes from, how its 145 fields
// land in the window state, the link picture and its package, the brand
// picture, and the single silent way out.
#include <algorithm>

#include "RemoverHarness.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/platform/memory/MemoryPlatform.h"

using fixtures::Attr;
using remover_test::RemoverRun;
using remover_test::Script;

namespace {

// A run that must end before any window shows, without a word.
void expectSilentEnd(RemoverRun& run) {
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.driver.openedWindows().empty());
    EXPECT_TRUE(run.driver.boxes().empty());
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
    EXPECT_FALSE(run.driver.failure());
}

std::string smallBmp() {
    sysaccess::paint::Image img;
    img.width = 4;
    img.height = 2;
    img.pixels.assign(8, {200, 10, 10});
    return sysaccess::paint::encodeBmp24(img);
}

int callsOf(RemoverRun& run, const std::string& op, const std::string& arg) {
    const auto& c = run.calls().calls;
    return static_cast<int>(std::count_if(c.begin(), c.end(), [&](const auto& x) { return x.op == op && x.arg == arg; }));
}

}  // namespace

TEST(RemoverStartup, FillsWindowStateFromTheScript) {
    Script s;
    s.device = "Serial,Parallel";  // quoted in the file: one field with its comma
    s.matches = {"VID_0E4B", "PID_02", "QRXPORT"};
    s.lostFields = "LOST.SYS";
    for (int i = 1; i <= 100; ++i) s.removal.push_back(std::to_string(i).insert(0, 1, 'E') + ".SYS");
    RemoverRun run;
    run.script(s);
    run.start();
    ASSERT_FALSE(run.driver.finished());
    auto& w = run.window();

    EXPECT_EQ(w.DeviceName, "Serial,Parallel");
    EXPECT_EQ(w.Check1.Caption, "Serial,Parallel");
    EXPECT_EQ(w.LinkSwitch, "1");
    const std::vector<std::string> labels{w.Label1.Caption, w.Label2.Caption, w.Label3.Caption, w.Label4.Caption,
                                          w.Label5.Caption, w.Label6.Caption, w.Label7.Caption};
    EXPECT_EQ(labels, std::vector<std::string>(s.info.begin(), s.info.end()));
    EXPECT_EQ(w.RegistryMatchList[3], "QRXPORT");
    EXPECT_EQ(w.RegistryMatchList[4], "==========");

    // Fields 116-125 are read and lost: entry 80 is field 115, entry 81 field 126.
    EXPECT_EQ(w.RemovalList[80], "E80.SYS");
    EXPECT_EQ(w.RemovalList[81], "E81.SYS");
    EXPECT_EQ(w.RemovalList[100], "E100.SYS");
    EXPECT_TRUE(w.RemovalList[101].empty());
    EXPECT_TRUE(w.RemovalList[0].empty());
    EXPECT_EQ(std::count(w.RemovalList.begin(), w.RemovalList.end(), "LOST.SYS"), 0);
    // No file present: the check walked all 100 entries and stopped at 101.
    EXPECT_EQ(w.EntryIndex, 101);
    EXPECT_FALSE(w.Check1.Enabled);

    for (int n = 1; n <= 27; ++n) EXPECT_FALSE(w.Block(n).Visible) << "block " << n;
    EXPECT_TRUE(w.Label36.Visible);
    EXPECT_TRUE(w.Label8.Visible);
    EXPECT_EQ(w.Left, (1024 * 15 - w.Width()) / 2);
    EXPECT_EQ(w.Top, (768 * 15 - w.Height()) / 2);
    EXPECT_EQ(w.WinDir, "C:\\windows");
    EXPECT_EQ(run.driver.openedWindows(), std::vector<std::string>{"Uninstall"});
}

TEST(RemoverStartup, RemovalListEndsAtABlankAndKnowsHeadersOnlyInTheirExactCase) {
    {
        // The lower-case header is an item of the inf section, found there.
        Script s;
        s.removal = {"[Delete Inf]", "[delete system]"};
        RemoverRun run;
        run.prefix.file("C:\\windows\\inf\\[delete system]", "x");
        run.script(s);
        run.start();
        ASSERT_FALSE(run.driver.finished());
        EXPECT_TRUE(run.window().Check1.Enabled);
        EXPECT_EQ(run.window().EntryIndex, 2);
    }
    {
        // A blank entry ends the list: the present file behind it is never seen.
        Script s;
        s.removal = {"[Delete System]", "MISSING.SYS", "", "PRESENT.SYS"};
        RemoverRun run;
        run.prefix.file("C:\\windows\\system\\PRESENT.SYS", "x");
        run.script(s);
        run.start();
        ASSERT_FALSE(run.driver.finished());
        EXPECT_FALSE(run.window().Check1.Enabled);
        EXPECT_EQ(run.window().EntryIndex, 3);
    }
}

TEST(RemoverStartup, ReadsTheScriptBesideTheProgram) {
    Script atRoot;
    atRoot.device = "Root device";
    Script inFolder;
    inFolder.device = "Folder device";
    {
        RemoverRun run;
        run.script(atRoot);
        run.start("A:\\");
        ASSERT_FALSE(run.driver.finished());
        EXPECT_EQ(run.window().Check1.Caption, "Root device");
    }
    {
        RemoverRun run;
        run.script(atRoot);
        run.prefix.file("A:\\Setup\\Unins.dat", inFolder.text());
        run.start("A:\\Setup");
        ASSERT_FALSE(run.driver.finished());
        EXPECT_EQ(run.window().Check1.Caption, "Folder device");
    }
    {
        RemoverRun missing;
        missing.start();
        expectSilentEnd(missing);
    }
    {
        Script s;
        s.dropLastFields = 1;
        RemoverRun short144;
        short144.script(s);
        short144.start();
        expectSilentEnd(short144);
    }
}

TEST(RemoverStartup, LinkSwitchIsANumberAndZeroDisablesTheLinkPicture) {
    for (const auto& [value, enabled] :
         std::vector<std::pair<std::string, bool>>{{"0", false}, {"0.0", false}, {"00", false}, {"1", true}, {"5", true}}) {
        SCOPED_TRACE("LinkSwitch " + value);
        Script s;
        s.linkSwitch = value;
        RemoverRun run;
        run.script(s);
        run.start();
        ASSERT_FALSE(run.driver.finished());
        EXPECT_EQ(run.window().Picture1.Enabled, enabled);
    }
    for (const std::string value : {"", "yes"}) {
        SCOPED_TRACE("LinkSwitch '" + value + "'");
        Script s;
        s.linkSwitch = value;
        RemoverRun run;
        run.script(s);
        run.start();
        expectSilentEnd(run);
    }
}

TEST(RemoverStartup, ShortcutFileLivesOnlyLongEnoughToBePackaged) {
    Script s;
    s.shortcut1 = "[InternetShortcut]";
    s.shortcut2 = "URL=http://www.tarnwick.example/drivers";
    RemoverRun run;
    run.prefix.file("C:\\lnk.url", "an older shortcut that is much longer than the new one\r\n");
    run.script(s);
    run.start();
    ASSERT_FALSE(run.driver.finished());
    const std::string expected = "[InternetShortcut]\r\nURL=http://www.tarnwick.example/drivers\r\n";
    EXPECT_EQ(run.window().OLE1.packageContent(), expected);
    EXPECT_FALSE(run.exists("C:\\lnk.url"));
    EXPECT_EQ(callsOf(run, "write", "c:\\lnk.url"), 1);
    EXPECT_EQ(callsOf(run, "kill", "c:\\lnk.url"), 1);

    // The package outlives the file: the link picture opens the stored text.
    run.driver.click("Uninstall", "Picture1");
    EXPECT_EQ(callsOf(run, "shortcut", expected), 1);
    EXPECT_FALSE(run.driver.finished());
}

TEST(RemoverStartup, ShortcutFileThatCannotBeWrittenEndsSilently) {
    RemoverRun run;
    run.prefix.file("C:\\lnk.url", "locked", Attr::ReadOnly);
    run.script(Script{});
    run.start();
    expectSilentEnd(run);
    EXPECT_TRUE(run.exists("C:\\lnk.url"));
}

TEST(RemoverStartup, BrandPictureComesFromTheCurrentDirectoryOnly) {
    {
        RemoverRun run;
        run.script(Script{});
        run.prefix.file("C:\\work\\Brand.bmp", smallBmp());
        run.start("A:\\", "C:\\work");
        ASSERT_FALSE(run.driver.finished());
        ASSERT_TRUE(run.window().Picture1.picture);
        EXPECT_EQ(run.window().Picture1.picture->width, 4);
    }
    {
        RemoverRun run;
        run.script(Script{});
        run.prefix.file("A:\\Brand.bmp", smallBmp());
        run.prefix.folder("C:\\work");
        run.start("A:\\", "C:\\work");
        ASSERT_FALSE(run.driver.finished());
        EXPECT_FALSE(run.window().Picture1.picture);
        EXPECT_TRUE(run.window().Picture1.Visible);
    }
    {
        RemoverRun run;
        run.script(Script{});
        run.prefix.file("C:\\Brand.bmp", "BM but no picture");
        run.start("A:\\", "C:\\");
        expectSilentEnd(run);
    }
}

// A Windows folder too long for the 80-character buffer is asked for again
// with the size the first call reported, and the check then searches there.
TEST(RemoverStartup, LongWindowsFolderIsReadInFull) {
    for (const std::size_t length : {79u, 80u, 200u}) {
        SCOPED_TRACE(length);
        sysaccess::platform_memory::MemoryPlatform machine;
        machine.windowsFolder = "C:\\" + std::string(length - 3, 'W');
        Script s;
        s.removal = {"[Delete System32]", "ADP.SYS"};
        machine.putFile("A:\\Unins.dat", s.text());
        machine.putFile(machine.windowsFolder + "\\system32\\drivers\\ADP.SYS", "x");
        sysaccess::PlatformGuard guard(machine);
        sysaccess::drivers::HeadlessDriver driver;
        driver.start([&] { busclean::run(driver); });
        ASSERT_FALSE(driver.finished());
        auto& w = dynamic_cast<busclean::Uninstall&>(*driver.form("Uninstall"));
        EXPECT_EQ(w.WinDir, machine.windowsFolder);
        EXPECT_EQ(w.WinDirLength, static_cast<std::int32_t>(length));
        EXPECT_TRUE(w.Check1.Enabled);
        driver.click("Uninstall", "Command2");
        EXPECT_TRUE(driver.finished());
    }
}
