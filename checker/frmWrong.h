#pragma once
// Result window for a computer without USB support: the title scrolls, the
// title bar flashes, and the verdict and the red cross over the logo blink.
#include "checker/ResultWindow.h"
#include "sysaccess/ui/Control.h"

namespace busprobe {

class frmWrong : public ResultWindow {
public:
    frmWrong();

    Frame Frame1{*this, "Frame1"};
    PictureBox Picture1{*this, "Picture1"};
    PictureBox Picture3{*this, "Picture3"};
    PictureBox Picture2{*this, "Picture2"};
    Frame Frame2{*this, "Frame2"};
    Label Label3{*this, "Label3", &Frame1};
    Label Label2{*this, "Label2", &Frame1};
    Label Label1{*this, "Label1", &Frame1};
    Line Line2{*this, "Line2", &Picture3};
    Line Line1{*this, "Line1", &Picture3};
    Timer Timer1{*this, "Timer1"};  // flash and blink
    Timer Timer2{*this, "Timer2"};  // title scroll

    void Form_Load() override;
    void Form_Resize() override;
    void Timer1_Timer();
    void Timer2_Timer();

private:
    void layout();
};

}  // namespace busprobe
