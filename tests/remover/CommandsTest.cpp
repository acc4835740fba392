// The remover's buttons, its restart offer, closing, the driver-disk label
// and the link picture.
#include <sys/stat.h>

#include "RemoverHarness.h"
#include "sysaccess/ui/Application.h"

using namespace remover_test;
using sysaccess::ui::InputEvent;
namespace mb = sysaccess::ui::mb;

namespace {

// A script whose one file is present, so the device can be ticked, and
// which has no registry entry, so no restart offer follows a run.
Script filesOnly() {
    Script s;
    s.removal = {"[Delete System]", "QRXSER.VXD", "[Delete Inf]", "QRX*.INF", "QRXOLD.INF"};
    return s;
}

void prepare(RemoverRun& run, const Script& s = filesOnly()) {
    run.script(s);
    run.prefix.file("C:\\windows\\system\\QRXSER.VXD", "vxd");
    for (const char* f : {"C:\\windows\\inf\\QRXSER.INF", "C:\\windows\\inf\\QRXPORT.INF",
                          "C:\\windows\\inf\\QRXOLD.INF"}) {
        run.prefix.file(f, "[Version]\r\n");
    }
}

// Posts a click from the program's side, as the user would during a run.
void clickLater(RemoverRun& run, std::uint64_t at, const char* control) {
    run.driver.schedule(at, [&run, control] {
        InputEvent e;
        e.type = InputEvent::Type::Click;
        e.form = &run.window();
        e.control = run.window().control(control);
        sysaccess::ui::Application::current().post(e);
    });
}

std::vector<std::string> changes(RemoverRun& run) {
    std::vector<std::string> r;
    for (const auto& c : run.calls().calls) {
        if (c.op == "kill" || c.op == "delete" || c.op == "start" || c.op == "restart") r.push_back(c.op + " " + c.arg);
    }
    return r;
}

}  // namespace

TEST(Commands, UninstallWithoutATickOnlySaysSo) {
    RemoverRun run;
    prepare(run);
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);
    const auto before = changes(run);
    run.driver.answer(mb::Ok);
    run.driver.click("Uninstall", "Command1");
    ASSERT_EQ(run.driver.boxes().size(), 1u);
    EXPECT_EQ(run.driver.boxes()[0].text, "Please select the device to be removed.");
    EXPECT_EQ(run.driver.boxes()[0].style, 16);
    EXPECT_EQ(run.driver.boxes()[0].title, "Error");
    EXPECT_EQ(changes(run), before);
    EXPECT_FALSE(run.driver.finished());
}

TEST(Commands, DecliningTheConfirmationUnticksAndEndsWithNothingRemoved) {
    RemoverRun run;
    prepare(run);
    run.start();
    const auto before = changes(run);
    run.uninstall({mb::No});
    ASSERT_EQ(run.driver.boxes().size(), 1u);
    EXPECT_EQ(run.driver.boxes()[0].text,
              "This will remove the driver of USB to Serial Adapter\r\n Do you wish to continue?");
    EXPECT_EQ(run.driver.boxes()[0].style, 36);
    EXPECT_EQ(run.driver.boxes()[0].title, "Uninstall driver");
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.exists("C:\\windows\\system\\QRXSER.VXD"));
    EXPECT_EQ(changes(run), before);
}

TEST(Commands, WithoutARegistryStepTheWindowStaysOpenAndCanRunAgain) {
    RemoverRun run;
    prepare(run);
    run.start();
    run.uninstall({mb::Yes});
    EXPECT_FALSE(run.driver.finished());
    EXPECT_EQ(run.window().SystemFamily, 0);
    EXPECT_FALSE(run.exists("C:\\windows\\system\\QRXSER.VXD"));
    EXPECT_FALSE(run.exists("C:\\windows\\inf\\QRXOLD.INF"));
    EXPECT_EQ(run.driver.boxes().size(), 1u);  // the confirmation, no restart offer
    run.uninstall({mb::Yes});
    EXPECT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_FALSE(run.driver.finished());
}

TEST(Commands, ExitAndTheCloseBoxEndAtOnce) {
    {
        RemoverRun run;
        prepare(run);
        run.start();
        run.driver.click("Uninstall", "Command2");
        EXPECT_TRUE(run.driver.finished());
    }
    {
        RemoverRun run;
        prepare(run);
        run.start();
        run.driver.close("Uninstall");
        EXPECT_TRUE(run.driver.finished());
        EXPECT_TRUE(run.driver.boxes().empty());
    }
}

TEST(Commands, ASecondUninstallDuringTheRunIsIgnoredAndExitStillEndsIt) {
    {
        RemoverRun run;
        prepare(run);
        run.start();
        // The first step pauses 50 ms and then lets window events through.
        clickLater(run, run.driver.clock() + 10, "Command1");
        run.uninstall({mb::Yes});
        EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
        EXPECT_EQ(run.driver.boxes().size(), 1u);
        EXPECT_FALSE(run.exists("C:\\windows\\inf\\QRXOLD.INF"));  // the run went on to its end
    }
    {
        RemoverRun run;
        prepare(run);
        run.start();
        // Exit during the second entry's pause.
        clickLater(run, run.driver.clock() + 60, "Command2");
        run.uninstall({mb::Yes});
        EXPECT_TRUE(run.driver.finished());
        EXPECT_FALSE(run.exists("C:\\windows\\system\\QRXSER.VXD"));  // the first step ran
        EXPECT_TRUE(run.exists("C:\\windows\\inf\\QRXSER.INF"));      // the rest never did
    }
}

TEST(Commands, FirstInformationLineStartsTheCheckerFromTheDriverDisk) {
    {
        RemoverRun run;
        prepare(run);
        const auto exe = run.prefix.file("A:\\BUSPROBE.EXE", fixtures::readHostFile("/bin/true"));
        ::chmod(exe.c_str(), 0755);
        run.start();
        run.calls().calls.clear();
        run.driver.click("Uninstall", "Label1");
        EXPECT_EQ(changes(run), std::vector<std::string>{"start a:\\BUSPROBE.EXE"});
        ASSERT_EQ(run.machine().launches().size(), 1u);
        EXPECT_EQ(run.machine().launches()[0].argv[0], exe.string());
        EXPECT_TRUE(run.driver.boxes().empty());
    }
    for (bool diskInDrive : {true, false}) {
        SCOPED_TRACE(diskInDrive ? "disk without the program" : "no disk");
        RemoverRun run;
        prepare(run);
        run.start();
        if (!diskInDrive) run.prefix.drive('a', run.prefix.scratch() / "no-such-folder");
        run.driver.answer(mb::Ok);
        run.driver.click("Uninstall", "Label1");
        ASSERT_EQ(run.driver.boxes().size(), 1u);
        EXPECT_EQ(run.driver.boxes()[0].text, "Please insert driver disk");
        EXPECT_EQ(run.driver.boxes()[0].style, 48);
        EXPECT_EQ(run.driver.boxes()[0].title, "Error");
        EXPECT_FALSE(run.driver.finished());
    }
}

TEST(Commands, LinkPictureOpensTheStoredShortcutUnlessSwitchedOff) {
    {
        RemoverRun run;
        prepare(run);
        run.start();
        EXPECT_FALSE(run.exists("C:\\lnk.url"));
        run.driver.click("Uninstall", "Picture1");
        ASSERT_EQ(run.machine().launches().size(), 1u);
        EXPECT_EQ(run.machine().launches()[0].argv.back(), "http://www.tarnwick.example/");
    }
    {
        RemoverRun run;
        Script s = filesOnly();
        s.linkSwitch = "0";
        prepare(run, s);
        run.start();
        EXPECT_FALSE(run.window().Picture1.Enabled);
        run.driver.click("Uninstall", "Picture1");
        EXPECT_TRUE(run.machine().launches().empty());
    }
}

TEST(Commands, FocusStartsOnExitAndTabSkipsWhatCannotTakeIt) {
    RemoverRun run;
    Script s = filesOnly();
    s.linkSwitch = "0";  // the picture is disabled and so skipped too
    prepare(run, s);
    run.start();
    auto& w = run.window();
    EXPECT_EQ(w.activeControl(), &w.Command2);
    std::vector<std::string> cycle;
    for (int i = 0; i < 4; ++i) {
        run.driver.press("Uninstall", sysaccess::ui::Key::Tab);
        cycle.push_back(w.activeControl()->name());
    }
    EXPECT_EQ(cycle, (std::vector<std::string>{"Check1", "Command1", "Command2", "Check1"}));
    // Space ticks the focused device; Enter presses "Uninstall", the default button.
    run.driver.press("Uninstall", sysaccess::ui::Key::Space);
    EXPECT_EQ(w.Check1.value(), 1);
    run.driver.answer(mb::No);
    run.driver.press("Uninstall", sysaccess::ui::Key::Enter);
    EXPECT_TRUE(run.driver.finished());
}
