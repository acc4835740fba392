#pragma once
// A message box built from the toolkit's own controls, for displays without
// native boxes: the box title, the style's icon at the left, the text
// (wrapped, with its line breaks) at the right and the style's buttons
// centred below, sized to the text and centred on the screen.
//
// Keys: Enter and Space press the focused (at first the default) button,
// the arrow keys move the focus from button to button (wrapping), Escape
// answers an OK or Cancel box, and a button's underlined letter (Y, N, ...)
// presses it, alone or with Alt. With Alt or Ctrl held, Enter, Space and
// Escape press nothing. The close box answers as Escape does and does
// nothing where Escape does nothing (Yes/No boxes).
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {
class FontEngine;
}

namespace sysaccess::ui {

class MessageBoxForm : public Form {
public:
    // `style` is the desktop's message box style: buttons (low 4 bits), icon
    // (16 stop, 32 question, 48 exclamation, 64 information) and default
    // button (256, 512). Texts are bytes in the machine's code page.
    MessageBoxForm(const std::string& text, int style, const std::string& title, unsigned codePage = 1252,
                   std::shared_ptr<paint::FontEngine> fonts = nullptr);

    // The answer code of the pressed button (OK 1, Cancel 2, Abort 3,
    // Retry 4, Ignore 5, Yes 6, No 7); 0 while unanswered.
    int answer() const { return answer_; }
    // The button that a typed letter presses, or nullptr.
    CommandButton* buttonForKey(char ch);

    PictureBox Image1{*this, "Image1"};
    Label Label1{*this, "Label1"};
    const std::vector<std::unique_ptr<CommandButton>>& buttons() const { return buttons_; }

    void Form_Unload(int& Cancel) override;
    Control* accessKey(char ch) override { return buttonForKey(ch); }

private:
    struct Choice {
        const char* caption;
        int code;
    };
    std::vector<Choice> choices_;
    std::vector<std::unique_ptr<CommandButton>> buttons_;
    int answer_ = 0;
    int escapeAnswer_ = 0;  // what Escape and the close box answer; 0: nothing
};

}  // namespace sysaccess::ui
