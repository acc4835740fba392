#pragma once
// The brand window: the checker's start-up window. It shows the vendor's
// contact details and picture, and at its first trigger (the timer or a
// click) unloads itself and runs the USB support probe.
#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace busprobe {

using namespace sysaccess::ui;

class frmLogo : public Form {
public:
    frmLogo();

    Frame Frame3{*this, "Frame3"};
    Frame Frame2{*this, "Frame2"};
    PictureBox Picture1{*this, "Picture1"};
    Frame Frame1{*this, "Frame1"};
    Timer Timer1{*this, "Timer1"};
    Label Label4{*this, "Label4"};
    // The title band, each text drawn twice for its shadow.
    Label Label1{*this, "Label1", &Frame3};
    Label Label6{*this, "Label6", &Frame3};
    Label Label2{*this, "Label2", &Frame3};
    Label Label5{*this, "Label5", &Frame3};
    Label Label3{*this, "Label3", &Frame3};
    Label Label7{*this, "Label7", &Frame3};
    // The contact block.
    Label Labmail{*this, "Labmail", &Frame2};
    Label Labfax{*this, "Labfax", &Frame2};
    Label Labphone{*this, "Labphone", &Frame2};
    Label Labaddress{*this, "Labaddress", &Frame2};
    Label Labcompany{*this, "Labcompany", &Frame2};

    void Form_Load() override;
    void Form_Click() override;
    void Frame1_DragDrop(Control& source, float x, float y);
    void Frame2_DragDrop(Control& source, float x, float y);
    void Frame3_DragDrop(Control& source, float x, float y);
    void Labaddress_Click();
    void Labcompany_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Labfax_Click();
    void Labmail_Click();
    void Labphone_Click();
    void Picture1_Click();
    void Timer1_Timer();

private:
    void layout();
    void Trigger();
    void CheckUsbSupport();
};

}  // namespace busprobe
