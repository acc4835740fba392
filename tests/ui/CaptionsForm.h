#pragma once
// A form whose captions carry access letters: a button, a check box and a
// label that wraps its letter onto the second line.
#include "sysaccess/ui/Form.h"

namespace ui_test {

using namespace sysaccess::ui;

class Captions : public Form {
public:
    Captions() : Form("Captions") {
        ScaleWidth = 4500, ScaleHeight = 2400;
        Button.Move(150, 150, 1200, 375), Button.Caption = "&Yes";
        Check.Move(150, 700, 3000, 300), Check.Caption = "&Remove";
        Wrapped.Move(150, 1100, 1050, 600), Wrapped.Caption = "Remove the &driver";
    }
    CommandButton Button{*this, "Button"};
    CheckBox Check{*this, "Check"};
    Label Wrapped{*this, "Wrapped"};
};

}  // namespace ui_test
