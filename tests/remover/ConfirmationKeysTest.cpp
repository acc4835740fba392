// The "Uninstall driver" confirmation answered from the keyboard, with the box
// as the toolkit's own window (as on the X display): keys that mean something
// else on the desktop never confirm a removal.
#include "RemoverHarness.h"
#include "sysaccess/ui/MessageBoxForm.h"

using namespace remover_test;
using sysaccess::ui::Key;
using sysaccess::ui::Modifiers;
namespace mb = sysaccess::ui::mb;

namespace {

struct ConfirmationRun : RemoverRun {
    ConfirmationRun() {
        Script s;
        s.removal = {"[Delete System]", "QRXSER.VXD", "[Delete Inf]", "QRXSER.INF"};
        script(s);
        prefix.file("C:\\windows\\system\\QRXSER.VXD", "vxd");
        prefix.file("C:\\windows\\inf\\QRXSER.INF", "[Version]\r\n");
        driver.showBoxes();
        start();
        driver.click("Uninstall", "Check1");
        before = changes();
        driver.click("Uninstall", "Command1");
    }
    std::vector<std::string> before;  // what start-up changed (its own temporary files)
    sysaccess::ui::MessageBoxForm* box() {
        return dynamic_cast<sysaccess::ui::MessageBoxForm*>(driver.form("MsgBox"));
    }
    std::string focused() {
        auto* b = box();
        return b && b->activeControl() ? dynamic_cast<sysaccess::ui::CommandButton&>(*b->activeControl()).Caption
                                       : "";
    }
    std::vector<std::string> changes() {
        std::vector<std::string> r;
        for (const auto& c : calls().calls) {
            if (c.op == "kill" || c.op == "delete") r.push_back(c.op + " " + c.arg);
        }
        return r;
    }
    bool removedAnything() {
        return changes() != before || !exists("C:\\windows\\system\\QRXSER.VXD") || !exists("C:\\windows\\inf\\QRXSER.INF");
    }
};

}  // namespace

TEST(ConfirmationKeys, SpaceAndEnterWithAltOrCtrlOnYesRemoveNothing) {
    ConfirmationRun run;
    ASSERT_NE(run.box(), nullptr);
    EXPECT_EQ(run.box()->Caption, "Uninstall driver");
    EXPECT_EQ(run.focused(), "&Yes");
    for (Key key : {Key::Space, Key::Enter}) {
        for (Modifiers m : {Modifiers{.alt = true}, Modifiers{.ctrl = true}, Modifiers{.ctrl = true, .alt = true},
                            Modifiers{.shift = true, .alt = true}}) {
            run.driver.press("MsgBox", key, m);
            ASSERT_NE(run.box(), nullptr) << "the box was answered";
        }
    }
    // Nor does Escape, with or without modifiers, or the close box: a Yes/No
    // question has no answer but its buttons.
    run.driver.press("MsgBox", Key::Escape);
    run.driver.press("MsgBox", Key::Escape, {.ctrl = true});
    run.driver.close("MsgBox");
    run.driver.type("MsgBox", 'y', {.ctrl = true});
    ASSERT_NE(run.box(), nullptr);
    EXPECT_EQ(run.focused(), "&Yes");
    EXPECT_FALSE(run.removedAnything());
    EXPECT_FALSE(run.driver.finished());
    // Still the same question: plain Enter on Yes now removes.
    run.driver.press("MsgBox", Key::Enter);
    EXPECT_EQ(run.box(), nullptr);
    EXPECT_FALSE(run.exists("C:\\windows\\system\\QRXSER.VXD"));
    EXPECT_FALSE(run.exists("C:\\windows\\inf\\QRXSER.INF"));
    ASSERT_EQ(run.driver.boxes().size(), 1u);
    EXPECT_EQ(run.driver.boxes()[0].answer, mb::Yes);
}

TEST(ConfirmationKeys, ArrowKeysMoveTheFocusSoEnterAnswersNo) {
    for (Key move : {Key::Right, Key::Down, Key::Left, Key::Up}) {
        ConfirmationRun run;
        run.driver.press("MsgBox", move);  // two buttons: either way lands on No
        EXPECT_EQ(run.focused(), "&No");
        run.driver.press("MsgBox", Key::Enter);
        EXPECT_TRUE(run.driver.finished());
        ASSERT_EQ(run.driver.boxes().size(), 1u);
        EXPECT_EQ(run.driver.boxes()[0].answer, mb::No);
        EXPECT_FALSE(run.removedAnything());
    }
    {
        ConfirmationRun run;
        run.driver.press("MsgBox", Key::Right);
        run.driver.press("MsgBox", Key::Right);  // wraps back to Yes
        EXPECT_EQ(run.focused(), "&Yes");
        run.driver.type("MsgBox", 'n', {.alt = true});  // the underlined letter, with Alt as on the desktop
        EXPECT_TRUE(run.driver.finished());
        EXPECT_FALSE(run.removedAnything());
    }
}
