#pragma once
// What the toolkit needs from a display: a clock, a way to wait for input,
// windows to show the forms in, and message boxes. Drivers turn the user's
// actions into InputEvents posted to the application.
#include <cstdint>
#include <optional>
#include <string>

#include "sysaccess/ui/Types.h"

namespace sysaccess::ui {

class Form;
class Control;

enum class Key { Tab, BackTab, Space, Enter, Escape, Left, Right, Up, Down, Char };

// The modifier keys held when a key was pressed. Keys that press buttons do
// so only without Alt or Ctrl: with them held a key means something else.
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct InputEvent {
    enum class Type { Click, Close, Key, StateChange, DragDrop };
    Type type = Type::Click;
    Form* form = nullptr;
    Control* control = nullptr;   // Click and DragDrop target; nullptr is the form itself
    Control* source = nullptr;    // DragDrop: the dragged control
    Key key = Key::Enter;
    Modifiers modifiers;          // Key
    char ch = 0;                  // Key::Char
    WindowState state = WindowState::Normal;
};

class Driver {
public:
    virtual ~Driver() = default;

    // Milliseconds on the driver's clock.
    virtual std::uint64_t now() = 0;
    virtual void sleep(std::uint32_t ms) = 0;
    // Blocks until input has been posted to the application or the clock has
    // reached the deadline. Without a deadline it waits for input only.
    virtual void wait(std::optional<std::uint64_t> deadline) = 0;
    // Posts input that has already arrived, without waiting.
    virtual void poll() = 0;

    virtual void windowOpened(Form& form) = 0;
    virtual void windowClosed(Form& form) = 0;
    // Properties may have changed: bring the window up to date.
    virtual void refresh(Form& form) = 0;

    // A message box with the desktop's style values; returns the answer code.
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;

    // Screen size in twips.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    // The screen's density in dots per inch, at which text is measured.
    virtual int dpi() { return 96; }
};

// Message box styles and answers the programs use.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Ok = 1;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace mb

}  // namespace sysaccess::ui
