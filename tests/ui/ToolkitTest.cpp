// The window toolkit over the headless display: timers, modal windows,
// unload and end, failures, message boxes, focus and keys.
#include <gtest/gtest.h>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/drivers/headless/HeadlessDriver.h"
#include "sysaccess/platform/memory/MemoryPlatform.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Control.h"
#include "sysaccess/Module1.h"

using namespace sysaccess::ui;
using sysaccess::drivers::HeadlessDriver;

namespace {

std::vector<std::string> events;  // what the test windows did, in order

class Main : public Form {
public:
    Main() : Form("Main") {
        ScaleWidth = 3000;
        ScaleHeight = 2000;
        Check1.TabIndex = 2;
        Command1.TabIndex = 0;
        Command2.TabIndex = 1;
        Command2.Default = true;
        Command1.Enabled = false;
        Timer1.setInterval(0);
        Timer1.Tick = [] { events.push_back("tick@" + std::to_string(Application::current().now())); };
        Command1.Click = [] { events.push_back("Command1"); };
        Command2.Click = [this] { onCommand2(); };
        Check1.Click = [this] { events.push_back("Check1=" + std::to_string(Check1.value())); };
    }
    CommandButton Command1{*this, "Command1"};
    CommandButton Command2{*this, "Command2"};
    CheckBox Check1{*this, "Check1"};
    Label Label1{*this, "Label1"};
    Timer Timer1{*this, "Timer1"};
    std::function<void()> onCommand2 = [] { events.push_back("Command2"); };
    int cancelUnload = 0;

    void Form_Load() override { events.push_back("Load"); }
    void Form_Unload(int& Cancel) override {
        events.push_back("Unload");
        Cancel = cancelUnload;
    }
};

class Dialog : public Form {
public:
    Dialog() : Form("Dialog") { Caption = "design"; }
    void Form_Load() override { events.push_back(std::string("DialogLoad visible=") + (visible() ? "1" : "0")); }
    void Form_Unload(int&) override { events.push_back("DialogUnload"); }
};

struct Toolkit : ::testing::Test {
    sysaccess::platform_memory::MemoryPlatform machine;
    sysaccess::PlatformGuard guard{machine};
    HeadlessDriver driver;  // last: the program thread ends first

    void SetUp() override { events.clear(); }
    Main& main() { return dynamic_cast<Main&>(*driver.form("Main")); }
    void start(std::function<void(Main&)> setup = {}) {
        driver.start([this, setup] {
            Application app(driver, "Toolkit");
            Main& m = app.form<Main>();
            if (setup) setup(m);
            app.run(m);
        });
    }
};

}  // namespace

TEST_F(Toolkit, TimersTickOnTheVirtualClockAndRestartWhenSet) {
    start();
    driver.advance(10000);
    EXPECT_TRUE(events == std::vector<std::string>{"Load"});  // interval 0 never ticks
    main().Timer1.setInterval(250);
    driver.advance(600);
    EXPECT_EQ(events, (std::vector<std::string>{"Load", "tick@10250", "tick@10500"}));
    // Setting the interval again restarts the count from now.
    driver.advance(100);
    main().Timer1.setInterval(250);
    driver.advance(250);
    EXPECT_EQ(events.back(), "tick@10950");
    main().Timer1.setEnabled(false);
    driver.advance(1000);
    EXPECT_EQ(events.size(), 4u);
}

TEST_F(Toolkit, ATimerNeverInterruptsAHandlerAndLateTicksCoalesce) {
    start([](Main& m) {
        m.Timer1.setInterval(100);
        m.onCommand2 = [] {
            events.push_back("busy");
            Module1::Sleep(1000);
            events.push_back("done");
        };
    });
    driver.advance(50);
    driver.click("Main", "Command2");
    // One late tick when the handler is back, then the normal rhythm.
    EXPECT_EQ(events, (std::vector<std::string>{"Load", "busy", "done", "tick@1050"}));
    driver.advance(100);
    EXPECT_EQ(events.back(), "tick@1150");
}

TEST_F(Toolkit, ModalWindowRunsANestedLoopAndBlocksOthers) {
    start([](Main& m) {
        m.onCommand2 = [] {
            events.push_back("before");
            Application::current().form<Dialog>().ShowModal();
            events.push_back("after");
        };
    });
    driver.click("Main", "Command2");
    EXPECT_EQ(events, (std::vector<std::string>{"Load", "before", "DialogLoad visible=0"}));
    driver.click("Main", "Check1");  // ignored while the dialog is up
    EXPECT_EQ(main().Check1.value(), 0);
    driver.close("Dialog");
    EXPECT_EQ(events.back(), "after");
    driver.click("Main", "Check1");
    EXPECT_EQ(events.back(), "Check1=1");
    EXPECT_EQ(driver.openedWindows(), (std::vector<std::string>{"Main", "Dialog"}));
}

TEST_F(Toolkit, UnloadRunsItsHandlerCanBeCancelledAndTheProgramEndsWithTheLastWindow) {
    start([](Main& m) { m.cancelUnload = 1; });
    driver.close("Main");
    EXPECT_FALSE(driver.finished());
    main().cancelUnload = 0;
    driver.close("Main");
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(events, (std::vector<std::string>{"Load", "Unload", "Unload"}));
}

TEST_F(Toolkit, AWindowUnloadedInItsOwnHandlerIsMadeAnewOnNextUse) {
    start([](Main& m) {
        m.onCommand2 = [] {
            auto& d = Application::current().form<Dialog>();
            d.Caption = "changed";
            d.Show();
            d.Unload();
            events.push_back("caption after reload: " + Application::current().form<Dialog>().Caption);
        };
    });
    driver.click("Main", "Command2");
    EXPECT_EQ(events.back(), "caption after reload: design");
}

TEST_F(Toolkit, EndStopsAtOnceWithoutUnloadHandlers) {
    start([](Main& m) {
        m.onCommand2 = [] {
            End();
            events.push_back("after end");
        };
    });
    driver.click("Main", "Command2");
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(events, (std::vector<std::string>{"Load"}));
}

TEST_F(Toolkit, AnEscapingFailureIsReportedAndEndsTheProgram) {
    start([](Main& m) { m.onCommand2 = [] { sysaccess::raise(53, "File not found"); }; });
    driver.answer(mb::Ok);
    driver.click("Main", "Command2");
    EXPECT_TRUE(driver.finished());
    ASSERT_EQ(driver.boxes().size(), 1u);
    EXPECT_EQ(driver.boxes()[0].style, 16);
    EXPECT_EQ(driver.boxes()[0].title, "Toolkit");
    EXPECT_NE(driver.boxes()[0].text.find("53"), std::string::npos);
    EXPECT_NE(driver.boxes()[0].text.find("File not found"), std::string::npos);
    EXPECT_EQ(events, (std::vector<std::string>{"Load"}));  // no unload handler
}

TEST_F(Toolkit, MessageBoxesAreAnsweredFromTheScriptAndUnexpectedOnesStopTheRun) {
    start([](Main& m) {
        m.onCommand2 = [] {
            events.push_back("answer " + std::to_string(MsgBox("Sure?", 36, "Ask")));
        };
    });
    driver.answer(mb::No);
    driver.click("Main", "Command2");
    EXPECT_EQ(events.back(), "answer 7");
    driver.click("Main", "Command2");
    EXPECT_TRUE(driver.finished());
    ASSERT_EQ(driver.unexpectedBoxes().size(), 1u);
    EXPECT_EQ(driver.unexpectedBoxes()[0].text, "Sure?");
}

TEST_F(Toolkit, FocusFollowsTabOrderAndKeysActOnTheFocusedControl) {
    start();
    // Command1 (tab 0) is disabled: Command2 (tab 1) gets the focus.
    EXPECT_EQ(main().activeControl(), &main().Command2);
    driver.press("Main", Key::Tab);
    EXPECT_EQ(main().activeControl(), &main().Check1);
    driver.press("Main", Key::Space);
    EXPECT_EQ(events.back(), "Check1=1");
    driver.press("Main", Key::Tab);  // wraps, skipping the disabled button
    EXPECT_EQ(main().activeControl(), &main().Command2);
    driver.press("Main", Key::BackTab);
    EXPECT_EQ(main().activeControl(), &main().Check1);
    driver.press("Main", Key::Enter);  // the default button, wherever the focus is
    EXPECT_EQ(events.back(), "Command2");
    main().Command2.Enabled = false;
    driver.click("Main", "Command2");
    driver.click("Main", "Command1");
    EXPECT_EQ(events.back(), "Command2");  // disabled buttons take no clicks
}

TEST_F(Toolkit, SpaceAndEnterPressNothingWithAltOrCtrlHeld) {
    start();
    const Modifiers held[] = {{.alt = true}, {.ctrl = true}, {.ctrl = true, .alt = true}, {.shift = true, .ctrl = true}};
    // The focused button (Command2, also the default) and the focused check box.
    for (Key key : {Key::Space, Key::Enter}) {
        for (Modifiers m : held) driver.press("Main", key, m);
    }
    driver.press("Main", Key::Tab);
    ASSERT_EQ(main().activeControl(), &main().Check1);
    for (Key key : {Key::Space, Key::Enter}) {
        for (Modifiers m : held) driver.press("Main", key, m);
    }
    EXPECT_EQ(events, std::vector<std::string>{"Load"});
    EXPECT_EQ(main().Check1.value(), 0);
    // Shift alone changes nothing; the arrow keys do not move the focus of an
    // ordinary window.
    driver.press("Main", Key::Space, {.shift = true});
    EXPECT_EQ(events.back(), "Check1=1");
    driver.press("Main", Key::Right);
    EXPECT_EQ(main().activeControl(), &main().Check1);
    driver.press("Main", Key::Enter, {.shift = true});
    EXPECT_EQ(events.back(), "Command2");
}

TEST_F(Toolkit, ARestartClosesEveryWindowThroughItsUnloadHandler) {
    start([](Main& m) { m.onCommand2 = [] { Module1::ExitWindowsEx(Module1::EWX_REBOOT, 0); }; });
    driver.click("Main", "Command2");
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(events, (std::vector<std::string>{"Load", "Unload"}));
    EXPECT_EQ(machine.restarts, std::vector<std::uint32_t>{2});
}
