#include "sysaccess/ui/Control.h"

#include "sysaccess/RuntimeError.h"
#include "sysaccess/platform/Platform.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::ui {

Control::Control(Form& form, std::string name, ControlKind kind, Control* container)
    : form_(form), name_(std::move(name)), kind_(kind), container_(container) {
    form_.add(this);
}

bool Control::windowed() const {
    switch (kind_) {
        case ControlKind::Frame:
        case ControlKind::CheckBox:
        case ControlKind::CommandButton:
        case ControlKind::PictureBox:
        case ControlKind::OleContainer:
            return true;
        default:
            return false;
    }
}

bool Control::focusable() const {
    switch (kind_) {
        case ControlKind::CheckBox:
        case ControlKind::CommandButton:
        case ControlKind::PictureBox:
            return TabStop;
        default:
            return false;
    }
}

bool Control::effectivelyVisible() const {
    for (const Control* c = this; c; c = c->container()) {
        if (!c->Visible) return false;
    }
    return true;
}

bool Control::effectivelyEnabled() const {
    for (const Control* c = this; c; c = c->container()) {
        if (!c->Enabled) return false;
    }
    return true;
}

void CheckBox::setValue(int v) {
    if (v < 0 || v > 2) raise(err::CannotStart, "Invalid property value");
    if (v == value_) return;
    value_ = v;
    if (Click) Click();
}

void PictureBox::setPicture(Picture p) {
    picture = std::move(p);
    if (AutoSize && picture) {
        Width = picture->width * TwipsPerPixel;
        Height = picture->height * TwipsPerPixel;
    }
}

Timer::Timer(Form& form, std::string name)
    : Control(form, std::move(name), ControlKind::Timer, nullptr) {
    Visible = false;
}

void Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535) raise(err::CannotStart, "Invalid property value");
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool on) {
    enabled_ = on;
    restart();
}

void Timer::restart() {
    rearm(Application::exists() ? Application::current().now() : 0);
}

void OleContainer::CreateEmbed(const std::string& sourceDoc) {
    content_ = platform().readFile(sourceDoc);
    hasObject_ = true;
}

void OleContainer::DoVerb() {
    if (!hasObject_) raise(31004, "No object");
    platform().openShortcut(content_);
}

}  // namespace sysaccess::ui
