// The toolkit's own message boxes over the headless display: size and
// placement from the text, icons, and every way of answering.
#include <gtest/gtest.h>

#include <functional>

#include "sysaccess/drivers/headless/HeadlessDriver.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/platform/memory/MemoryPlatform.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/MessageBoxForm.h"

using namespace sysaccess::ui;
using sysaccess::drivers::HeadlessDriver;

namespace {

class Host : public Form {
public:
    Host() : Form("Host") { ScaleWidth = ScaleHeight = 1500; }
};

// Shows one box modally from the program's side; the test answers it.
struct BoxRun {
    sysaccess::platform_memory::MemoryPlatform machine;
    sysaccess::PlatformGuard guard{machine};
    int answer = -1;
    HeadlessDriver driver;  // last: the program thread ends first

    void show(const std::string& text, int style, const std::string& title = "Title") {
        driver.schedule(0, [=, this] {
            MessageBoxForm box(text, style, title);
            Application::current().showModal(box);
            answer = box.answer();
        });
        driver.start([this] {
            Application app(driver, "Test");
            Host host;
            app.run(host);
        });
        ASSERT_NE(driver.form("MsgBox"), nullptr);
    }
    MessageBoxForm& box() { return dynamic_cast<MessageBoxForm&>(*driver.form("MsgBox")); }
    bool open() { return driver.form("MsgBox") != nullptr; }
    int right(const Control& c) { return c.Left + c.Width; }
};

int centreOf(const Control& c) { return c.Left + c.Width / 2; }

}  // namespace

TEST(MessageBoxForm, SizesItselfToTheTextAndCentresOnTheScreen) {
    BoxRun run;
    run.show("Please select the device to be removed.", mb::Critical, "Error");
    MessageBoxForm& box = run.box();
    EXPECT_EQ(box.Caption, "Error");
    EXPECT_TRUE(box.hasTitleBar && box.ControlBox);
    EXPECT_FALSE(box.ShowInTaskbar);
    // Centred on the 1024 x 768 headless screen.
    EXPECT_EQ(box.Left, (1024 * TwipsPerPixel - box.Width()) / 2);
    EXPECT_EQ(box.Top, (768 * TwipsPerPixel - box.Height()) / 2);
    // Icon at the left, text beside it, everything inside the client area.
    ASSERT_TRUE(box.Image1.Visible);
    ASSERT_NE(box.Image1.picture, nullptr);
    EXPECT_EQ(box.Image1.picture->width, 32);
    EXPECT_GE(box.Label1.Left, run.right(box.Image1));
    EXPECT_LE(run.right(box.Label1), box.ScaleWidth);
    ASSERT_EQ(box.buttons().size(), 1u);
    const CommandButton& ok = *box.buttons()[0];
    EXPECT_EQ(ok.Caption, "OK");
    EXPECT_NEAR(centreOf(ok), box.ScaleWidth / 2, TwipsPerPixel);
    EXPECT_GT(ok.Top, box.Label1.Top + box.Label1.Height);
    EXPECT_LE(ok.Top + ok.Height, box.ScaleHeight);
    // A one-line text gives a small box.
    EXPECT_LT(box.ScaleWidth, 400 * TwipsPerPixel);
    run.driver.press("MsgBox", Key::Enter);
}

TEST(MessageBoxForm, LongTextWrapsAndLineBreaksStartNewLines) {
    const std::string sentence = "Windows must be restarted to complete the device removal. ";
    int oneLine = 0;
    {
        BoxRun run;
        run.show("short", mb::OkOnly);
        oneLine = run.box().Label1.Height;
        EXPECT_FALSE(run.box().Image1.Visible);  // style 0 has no icon: the text starts at the margin
        EXPECT_LT(run.box().Label1.Left, 20 * TwipsPerPixel);
        run.driver.press("MsgBox", Key::Enter);
    }
    {
        BoxRun run;
        run.show("first line\r\nsecond line\nthird", mb::Exclamation);
        EXPECT_EQ(run.box().Label1.Height, 3 * oneLine);
        run.driver.press("MsgBox", Key::Enter);
    }
    {
        BoxRun run;
        run.show(sentence + sentence + sentence + sentence, mb::Question | mb::YesNo);
        MessageBoxForm& box = run.box();
        EXPECT_GE(box.Label1.Height, 2 * oneLine);
        EXPECT_LE(box.ScaleWidth, (1024 * 5 / 8 + 120) * TwipsPerPixel);  // wrapped, not one long line
        run.driver.press("MsgBox", Key::Enter);
    }
}

TEST(MessageBoxForm, YesNoAnswersByEnterTabAndLettersButNotByEscapeOrTheCloseBox) {
    {
        BoxRun run;
        run.show("Continue?", mb::Question | mb::YesNo);
        MessageBoxForm& box = run.box();
        ASSERT_EQ(box.buttons().size(), 2u);
        EXPECT_EQ(box.buttons()[0].get(), box.activeControl());  // the default button has the focus
        EXPECT_EQ(box.buttonForKey('y'), box.buttons()[0].get());
        EXPECT_EQ(box.buttonForKey('N'), box.buttons()[1].get());
        EXPECT_EQ(box.buttonForKey('x'), nullptr);
        run.driver.press("MsgBox", Key::Escape);
        run.driver.close("MsgBox");
        EXPECT_TRUE(run.open());  // a question must be answered
        run.driver.press("MsgBox", Key::Enter);
        EXPECT_FALSE(run.open());
        EXPECT_EQ(run.answer, mb::Yes);
    }
    {
        BoxRun run;
        run.show("Continue?", mb::Question | mb::YesNo);
        run.driver.press("MsgBox", Key::Tab);
        run.driver.press("MsgBox", Key::Enter);  // Enter presses the focused button
        EXPECT_EQ(run.answer, mb::No);
    }
    {
        BoxRun run;
        run.show("Continue?", mb::Question | mb::YesNo | 256);  // second button is the default
        EXPECT_EQ(run.box().activeControl(), run.box().buttons()[1].get());
        run.driver.click("MsgBox", "Button1");
        EXPECT_EQ(run.answer, mb::Yes);
    }
}

TEST(MessageBoxForm, ArrowKeysMoveTheFocusAcrossTheButtonsAndWrap) {
    BoxRun run;
    run.show("Save?", mb::Question | 3 | 256);  // Yes, No, Cancel; No is the default
    MessageBoxForm& box = run.box();
    auto focused = [&] { return box.activeControl(); };
    const auto& b = box.buttons();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(focused(), b[1].get());
    const std::pair<Key, int> steps[] = {{Key::Right, 2}, {Key::Right, 0}, {Key::Down, 1}, {Key::Left, 0},
                                         {Key::Up, 2},    {Key::Left, 1}};
    for (const auto& [key, expected] : steps) {
        run.driver.press("MsgBox", key);
        EXPECT_EQ(focused(), b[static_cast<std::size_t>(expected)].get());
    }
    run.driver.press("MsgBox", Key::Left);
    run.driver.press("MsgBox", Key::Space);  // Space presses the focused button
    EXPECT_EQ(run.answer, mb::Yes);
}

TEST(MessageBoxForm, WithAltOrCtrlHeldNoKeyButALetterWithAltAnswers) {
    BoxRun run;
    run.show("Continue?", mb::Question | mb::YesNo);
    for (Key key : {Key::Space, Key::Enter, Key::Escape}) {
        for (Modifiers m : {Modifiers{.alt = true}, Modifiers{.ctrl = true}}) run.driver.press("MsgBox", key, m);
    }
    run.driver.type("MsgBox", 'y', {.ctrl = true});
    run.driver.type("MsgBox", 'x');
    EXPECT_TRUE(run.open());
    run.driver.type("MsgBox", 'N', {.shift = true, .alt = true});
    EXPECT_FALSE(run.open());
    EXPECT_EQ(run.answer, mb::No);
}

TEST(MessageBoxForm, OkBoxAnswersOkByEscapeAndByTheCloseBox) {
    for (const std::function<void(HeadlessDriver&)>& dismiss :
         {std::function<void(HeadlessDriver&)>([](HeadlessDriver& d) { d.press("MsgBox", Key::Escape); }),
          std::function<void(HeadlessDriver&)>([](HeadlessDriver& d) { d.close("MsgBox"); }),
          std::function<void(HeadlessDriver&)>([](HeadlessDriver& d) { d.press("MsgBox", Key::Space); })}) {
        BoxRun run;
        run.show("Please insert driver disk", mb::Exclamation, "Error");
        dismiss(run.driver);
        EXPECT_FALSE(run.open());
        EXPECT_EQ(run.answer, mb::Ok);
    }
}

TEST(MessageBoxForm, IconIsDrawnOverTheBoxBackground) {
    BoxRun run;
    run.show("Run-time error '53':\n\nFile not found", mb::Critical, "Busclean");
    MessageBoxForm& box = run.box();
    sysaccess::paint::Renderer renderer(sysaccess::paint::platformFonts());
    const auto image = renderer.render(box, {false, true, 1252});
    const int x0 = box.Image1.Left / TwipsPerPixel, y0 = box.Image1.Top / TwipsPerPixel;
    // The icon's transparent corner shows the button face, its middle the red stop sign.
    EXPECT_EQ(image.at(x0, y0), (sysaccess::paint::Rgb{192, 192, 192}));
    int red = 0;
    for (int y = y0; y < y0 + 32; ++y) {
        for (int x = x0; x < x0 + 32; ++x) {
            const auto p = image.at(x, y);
            if (p.r > 160 && p.g < 80 && p.b < 80) ++red;
        }
    }
    EXPECT_GT(red, 200);
    run.driver.press("MsgBox", Key::Enter);
    EXPECT_EQ(run.answer, mb::Ok);
}
