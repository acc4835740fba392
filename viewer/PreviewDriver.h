#pragma once
// The headless display for a preview: the first Yes/No question (the
// confirmation) is answered Yes, every later one No (the restart offer), and
// boxes with one button OK.
#include "sysaccess/drivers/headless/HeadlessDriver.h"

namespace busview {

class PreviewDriver : public sysaccess::drivers::HeadlessDriver {
public:
    int messageBox(const std::string& text, int style, const std::string& title) override {
        constexpr int YesNoButtons = 4, Ok = 1, Yes = 6, No = 7;
        if ((style & 0xF) == YesNoButtons) {
            answer(confirmed_ ? No : Yes);
            confirmed_ = true;
        } else {
            answer(Ok);
        }
        return HeadlessDriver::messageBox(text, style, title);
    }

private:
    bool confirmed_ = false;
};

}  // namespace busview
