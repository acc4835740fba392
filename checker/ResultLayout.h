#pragma once
// Design values the two result windows share.
#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace busprobe {

using namespace sysaccess::ui;

// Fixed dialog frame with a title bar and close box, centred, no taskbar entry.
inline void resultFrame(Form& f) {
    f.borderStyle = FormBorderStyle::FixedDialog;
    f.hasTitleBar = true;
    f.ControlBox = true;
    f.ShowInTaskbar = false;
}

// "USB Check Information" in the Traditional Chinese system font.
inline void infoFrame(Frame& f) {
    f.Caption = "USB Check Information";
    f.setFont(Font{"\xE6\x96\xB0\xE7\xB4\xB0\xE6\x98\x8E\xE9\xAB\x94", 9, false, false, 136});
}

// The white band across the top that the pictures lie on.
inline void whiteBand(Frame& f) {
    f.BackColor = RGB(255, 255, 255);
    f.borderStyle = ControlBorder::None;
}

}  // namespace busprobe
