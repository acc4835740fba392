#pragma once
// Result window for a computer that supports USB: the title scrolls and the
// verdict blinks green.
#include "checker/ResultWindow.h"
#include "sysaccess/ui/Control.h"

namespace busprobe {

class frmGood : public ResultWindow {
public:
    frmGood();

    PictureBox Picture1{*this, "Picture1"};
    Frame Frame1{*this, "Frame1"};
    PictureBox Picture3{*this, "Picture3"};
    PictureBox Picture2{*this, "Picture2"};
    Frame Frame2{*this, "Frame2"};
    Label Label6{*this, "Label6", &Frame1};
    Label Label5{*this, "Label5", &Frame1};
    Label Label4{*this, "Label4", &Frame1};
    Label Label2{*this, "Label2", &Frame1};
    Label Label1{*this, "Label1", &Frame1};
    Timer Timer1{*this, "Timer1"};  // title scroll
    Timer Timer2{*this, "Timer2"};  // verdict blink

    void Form_Load() override;
    void Form_Resize() override;
    void Timer1_Timer();
    void Timer2_Timer();

private:
    void layout();
};

}  // namespace busprobe
