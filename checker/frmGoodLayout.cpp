// Design of the result window for a computer that supports USB.
#include "checker/frmGood.h"
#include "checker/ResultLayout.h"
#include "sysaccess/ui/Builtin.h"

namespace busprobe {

void frmGood::layout() {
    Caption = "USB Check Result";
    resultFrame(*this);
    ScaleWidth = 6120;
    ScaleHeight = 4200;
    font = Font{"Times New Roman", 12, true, false};

    //              Left   Top    Width Height         tab
    Picture1.Move(-245, 360, 1815, 375);    Picture1.TabIndex = 0;
    Frame1.Move(120, 1320, 5895, 2775);     Frame1.TabIndex = 3;
    Label6.Move(120, 2280, 5655, 375);      Label6.TabIndex = 10;
    Label5.Move(120, 1920, 5655, 375);      Label5.TabIndex = 9;
    Label4.Move(120, 1560, 5655, 375);      Label4.TabIndex = 8;
    Label2.Move(120, 1080, 5655, 375);      Label2.TabIndex = 7;
    Label1.Move(240, 480, 5295, 495);       Label1.TabIndex = 4;
    Picture3.Move(1440, -120, 2775, 1335);  Picture3.TabIndex = 2;
    Picture2.Move(4320, 360, 1815, 375);    Picture2.TabIndex = 1;
    Frame2.Move(0, 0, 6135, 1215);          Frame2.TabIndex = 6;

    infoFrame(Frame1);
    whiteBand(Frame2);
    for (PictureBox* p : {&Picture1, &Picture3, &Picture2}) p->borderStyle = ControlBorder::None;
    Picture1.setPicture(BuiltinPicture("cable_right.bmp"));
    Picture2.setPicture(BuiltinPicture("cable_left.bmp"));
    Picture3.setPicture(BuiltinPicture("usblogo.bmp"));
    Label6.Caption = "   2. Please contact us to help you.";
    Label5.Caption = "   1. Please check BIOS.  ";
    Label4.Caption = "   If USB port unable to use : ";
    Label2.Caption = "   You can plug-in USB product now.";
    Label1.Caption = "This system DOES give support for USB";
    Label1.setFont(Font{"Times New Roman", 15.75, true, true});
    Label1.ForeColor = RGB(0, 255, 0);
    Label1.alignment = Alignment::Center;

    Timer1.setInterval(0);
    Timer1.setEnabled(true);
    Timer2.setInterval(0);
    Timer2.setEnabled(true);

    stack({&Picture1, &Frame1, &Picture3, &Picture2, &Frame2});
    stack({&Label6, &Label5, &Label4, &Label2, &Label1});
}

}  // namespace busprobe
