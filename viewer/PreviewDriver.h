#pragma once
// The headless display for a preview: the first Yes/No question (the
// confirmation) is answered Yes, every later one No (the restart offer), and
// boxes with one button OK.
#include <functional>

#include "sysaccess/drivers/headless/HeadlessDriver.h"

namespace busview {

class PreviewDriver : public sysaccess::drivers::HeadlessDriver {
public:
    // Called on the program's side before each box shows and as each window
    // closes: the last moments at which a run that stops still has its
    // window to be read.
    std::function<void()> beforeBoxOrClose;

    int messageBox(const std::string& text, int style, const std::string& title) override {
        if (beforeBoxOrClose) beforeBoxOrClose();
        constexpr int YesNoButtons = 4, Ok = 1, Yes = 6, No = 7;
        if ((style & 0xF) == YesNoButtons) {
            answer(confirmed_ ? No : Yes);
            confirmed_ = true;
        } else {
            answer(Ok);
        }
        return HeadlessDriver::messageBox(text, style, title);
    }

    void windowClosed(sysaccess::ui::Form& form) override {
        if (beforeBoxOrClose) beforeBoxOrClose();
        HeadlessDriver::windowClosed(form);
    }

private:
    bool confirmed_ = false;
};

}  // namespace busview
