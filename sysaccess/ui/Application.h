#pragma once
// The single event loop of a program. Events and timer ticks are handled one
// at a time; a modal show runs a nested loop; end() stops everything at once.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "sysaccess/ui/Driver.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::ui {

// Thrown by Application::end(); only the loop catches it.
struct ProgramEnd {};

class Application {
public:
    Application(Driver& driver, std::string title);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& current();
    static bool exists();

    Driver& driver() { return driver_; }
    const std::string& title() const { return title_; }

    // The program's one instance of a window class, made on first use (and
    // made anew after it has been unloaded).
    template <class T>
    T& form() {
        auto& slot = forms_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_unique<T>();
        return static_cast<T&>(*slot);
    }

    // Shows the start-up window and runs until no window is loaded or the
    // program ends.
    int run(Form& startup);

    void show(Form& form);
    void showModal(Form& form);
    // Runs Form_Unload; unless cancelled, the window, its controls and its
    // timers are gone at once. The calling handler goes on running.
    void unload(Form& form);
    void doEvents();
    [[noreturn]] void end();

    int msgBox(const std::string& text, int style, const std::string& title);
    // Toggles (invert) or resets the title bar's attention look; returns the
    // previous state.
    bool flashWindow(std::uint32_t hwnd, bool invert);
    std::uint64_t now() { return driver_.now(); }
    void sleep(std::uint32_t ms) { driver_.sleep(ms); }

    // Runs a handler; a run-time failure escaping it is reported in a message
    // box and ends the program.
    void guarded(const std::function<void()>& handler);

    // Input from the driver.
    void post(const InputEvent& event);
    // The system is shutting down: close every window as the user would.
    void closeAllWindows();

    const std::vector<Form*>& loadedForms() const { return live_; }
    Form* findForm(const std::string& name) const;
    Form* formByHwnd(std::uint32_t hwnd) const;
    // The form that takes input now: the top modal window, if any.
    bool acceptsInput(const Form& form) const;

    // Forms tell the application when they go away.
    void forget(Form& form);

private:
    void loopUntil(const std::function<bool()>& done);
    bool runOne();  // one queued event or due timer; false when nothing was ready
    void dispatch(const InputEvent& event);
    void clickControl(Form& form, Control* control);
    void pressKey(Form& form, const InputEvent& event);
    void focusFirst(Form& form);
    void refreshAll();
    Timer* nextTimer() const;

    Driver& driver_;
    std::string title_;
    std::map<std::type_index, std::unique_ptr<Form>> forms_;
    std::vector<std::unique_ptr<Form>> unloaded_;  // kept until the loop is back at the top
    std::vector<Form*> live_;
    std::vector<Form*> modal_;
    std::deque<InputEvent> queue_;
    std::uint32_t nextHwnd_ = 0x1000;
    int depth_ = 0;
};

// Shorthands for the running application, named as the programs use them.
int MsgBox(const std::string& text, int style, const std::string& title);
void DoEvents();
[[noreturn]] void End();
int ScreenWidth();
int ScreenHeight();

}  // namespace sysaccess::ui
