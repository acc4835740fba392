#pragma once
// Controls of the window toolkit. Properties are plain members named as the
// desktop names them; the form repaints after every event, so setting a
// property needs no call. Events are bound by the owning form to its handler
// members (Label1.Click = [this] { Label1_Click(); }).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sysaccess/paint/Ico.h"
#include "sysaccess/ui/Picture.h"
#include "sysaccess/ui/Types.h"

namespace sysaccess::ui {

class Form;

// An icon or cursor image with its transparency mask and hot spot.
using IconPicture = std::shared_ptr<const paint::IconImage>;

enum class ControlKind { Label, Frame, CheckBox, CommandButton, PictureBox, Line, Timer, OleContainer };

class Control {
public:
    Control(Form& form, std::string name, ControlKind kind, Control* container);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Form& form() const { return form_; }
    Control* container() const { return container_; }  // nullptr: the form itself

    // Windowed controls lie above the labels and lines of their container.
    bool windowed() const;
    // Could take the focus if visible and enabled (labels, frames, lines, timers never do).
    bool focusable() const;
    // Visible and enabled up the container chain.
    bool effectivelyVisible() const;
    bool effectivelyEnabled() const;

    // Geometry in twips, relative to the container.
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    bool Enabled = true;
    int TabIndex = -1;
    bool TabStop = true;
    std::string Caption;
    Font font;
    bool hasOwnFont = false;  // otherwise the form's font
    Color ForeColor = syscolor::ButtonText;
    Color BackColor = syscolor::ButtonFace;

    std::function<void()> Click;
    std::function<void(Control& source, float x, float y)> DragDrop;

    void setFont(Font f) { font = std::move(f); hasOwnFont = true; }
    void Move(int left, int top, int width, int height) {
        Left = left, Top = top, Width = width, Height = height;
    }

private:
    Form& form_;
    std::string name_;
    ControlKind kind_;
    Control* container_;
};

class Label : public Control {
public:
    Label(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::Label, container) {}
    Alignment alignment = Alignment::Left;
    BackStyle backStyle = BackStyle::Opaque;
    ControlBorder borderStyle = ControlBorder::None;
};

class Frame : public Control {
public:
    Frame(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::Frame, container) {}
    ControlBorder borderStyle = ControlBorder::Single;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::CheckBox, container) {}
    int value() const { return value_; }
    // Setting a different value raises the Click event, as the desktop does.
    void setValue(int v);
    void toggle() { setValue(value_ == 1 ? 0 : 1); }

private:
    int value_ = 0;  // 0 unchecked, 1 checked, 2 greyed
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::CommandButton, container) {}
    bool Default = false;
    bool Cancel = false;
};

class PictureBox : public Control {
public:
    PictureBox(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::PictureBox, container) {}
    Picture picture;
    ControlBorder borderStyle = ControlBorder::Single;
    bool AutoSize = false;
    // Shows a picture; with AutoSize the box takes the picture's size.
    void setPicture(Picture p);
    MousePointer mousePointer = MousePointer::Default;
    IconPicture mouseIcon;  // the pointer shown over the box when mousePointer is Custom
};

// A line between two points of its container, in twips.
class Line : public Control {
public:
    Line(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::Line, container) {}
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    LineStyle borderStyle = LineStyle::Solid;
    int BorderWidth = 1;  // pixels
    Color BorderColor = RGB(0, 0, 0);
};

// Ticks through the event loop every Interval milliseconds while enabled;
// an interval of 0 never ticks. Setting either property restarts the count.
class Timer : public Control {
public:
    Timer(Form& form, std::string name);
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setInterval(int ms);
    void setEnabled(bool on);

    std::function<void()> Tick;

    // For the event loop.
    bool armed() const { return enabled_ && interval_ > 0; }
    std::uint64_t due() const { return due_; }
    void rearm(std::uint64_t now) { due_ = now + static_cast<std::uint64_t>(interval_); }
    bool running = false;  // its handler is on the stack

private:
    void restart();
    int interval_ = 0;
    bool enabled_ = true;
    std::uint64_t due_ = 0;
};

// Holds one embedded package object: its own copy of a file's bytes, opened
// with the desktop's handler on activation.
class OleContainer : public Control {
public:
    OleContainer(Form& form, std::string name, Control* container = nullptr)
        : Control(form, std::move(name), ControlKind::OleContainer, container) {}
    // Makes the package from a file; the file may be deleted afterwards.
    void CreateEmbed(const std::string& sourceDoc);
    // Opens the stored content; fails when nothing is embedded.
    void DoVerb();
    const std::string& packageContent() const { return content_; }
    bool hasObject() const { return hasObject_; }

private:
    std::string content_;
    bool hasObject_ = false;
};

}  // namespace sysaccess::ui
