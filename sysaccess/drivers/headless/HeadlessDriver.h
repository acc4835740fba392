#pragma once
// A display without a screen, for tests. The program runs on a thread of its
// own and the test drives it step by step: only one of the two runs at any
// time, so everything is deterministic. Time is virtual: timers and Sleep
// advance the clock, nothing waits in real time. Message boxes are answered
// from a script; a box without a scripted answer stops the program and is
// recorded as unexpected. Alternatively they are the toolkit's own box
// windows, as on the X display, which the test answers with keys and clicks.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Driver.h"

namespace sysaccess::drivers {

class HeadlessDriver : public ui::Driver {
public:
    struct Box {
        std::string text;
        int style = 0;
        std::string title;
        int answer = 0;
        std::uint64_t at = 0;
    };

    HeadlessDriver();
    ~HeadlessDriver() override;

    // --- the test's side ---------------------------------------------------
    // Runs `program` on the program thread until it waits for input or ends.
    void start(std::function<void()> program);
    // Lets virtual time pass; the program runs every timer due until then.
    void advance(std::uint64_t ms);
    void click(const std::string& form, const std::string& control = "");
    // The screen's density in dots per inch (96 unless set): screenshots are
    // drawn at it, points clicked are pixels at it, and the screen of 1024 x
    // 768 pixels measures as many twips as that density makes of them.
    void setDpi(int dpi) { density_ = paint::Density(dpi); }
    int dpi() override { return density_.dpi(); }
    // A click at a point of the client area, in pixels.
    void clickAt(const std::string& form, int x, int y);
    void press(const std::string& form, ui::Key key, ui::Modifiers modifiers = {});
    // A typed character (a button's underlined letter, ...).
    void type(const std::string& form, char ch, ui::Modifiers modifiers = {});
    void close(const std::string& form);
    void setState(const std::string& form, ui::WindowState state);
    void dragDrop(const std::string& form, const std::string& target, const std::string& source);
    // Answers for the next message boxes, in order.
    void answer(int code) { answers_.push_back(code); }
    // Message boxes from now on are toolkit windows named "MsgBox"
    // (ui::MessageBoxForm), shown modally until the test answers them.
    void showBoxes() { showBoxes_ = true; }
    // Runs `action` on the program's side once the clock has reached `at`
    // (checked whenever the program waits or processes pending events).
    void schedule(std::uint64_t at, std::function<void()> action);

    bool finished() const { return done_; }
    std::exception_ptr failure() const { return failure_; }
    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<Box>& unexpectedBoxes() const { return unexpected_; }
    // Names of the windows in the order they were opened (shown).
    const std::vector<std::string>& openedWindows() const { return opened_; }
    ui::Form* form(const std::string& name) const;
    // The window as it looks now, drawn by the renderer with the machine's
    // code page (call it while the program waits, as every test step ends).
    // Throws std::logic_error for a window that is not loaded.
    paint::Image screenshot(const std::string& form, bool withFrame = true);
    std::uint64_t clock() const { return now_; }

    // Called on every repaint request, on the program's side.
    std::function<void(ui::Form&)> onRefresh;

    // --- the toolkit's side ------------------------------------------------
    std::uint64_t now() override { return now_; }
    void sleep(std::uint32_t ms) override;
    void wait(std::optional<std::uint64_t> deadline) override;
    void poll() override;
    void windowOpened(ui::Form& form) override;
    void windowClosed(ui::Form& form) override;
    void refresh(ui::Form& form) override;
    int messageBox(const std::string& text, int style, const std::string& title) override;
    int screenWidth() override { return density_.twips(1024); }
    int screenHeight() override { return density_.twips(768); }

private:
    struct Abandon {};
    void post(const std::string& formName, ui::InputEvent event);
    void resumeProgram();  // test side: hand over and wait for the turn back
    void yieldToTest();    // program side
    void runScheduled();

    std::mutex mutex_;
    std::condition_variable turnChanged_;
    bool programTurn_ = false;
    bool abandon_ = false;
    bool done_ = false;
    std::thread thread_;
    std::exception_ptr failure_;

    std::uint64_t now_ = 0;
    std::uint64_t target_ = 0;
    std::vector<int> answers_;
    bool showBoxes_ = false;
    std::vector<Box> boxes_;
    std::vector<Box> unexpected_;
    std::vector<std::string> opened_;
    std::multimap<std::uint64_t, std::function<void()>> scheduled_;
    std::unique_ptr<paint::Renderer> renderer_;
    paint::Density density_;
};

}  // namespace sysaccess::drivers
