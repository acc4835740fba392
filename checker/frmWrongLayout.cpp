// Design of the result window for a computer without USB support.
#include "checker/frmWrong.h"
#include "checker/ResultLayout.h"
#include "sysaccess/ui/Builtin.h"

namespace busprobe {

void frmWrong::layout() {
    Caption = "USB Check Result";
    resultFrame(*this);
    ScaleWidth = 6135;
    ScaleHeight = 4200;
    font = Font{"Times New Roman", 9.75, false, false};

    //              Left   Top    Width Height         tab
    Frame1.Move(120, 1320, 5895, 2775);     Frame1.TabIndex = 3;
    Label3.Move(240, 1680, 5535, 375);      Label3.TabIndex = 7;
    Label2.Move(240, 1200, 5535, 375);      Label2.TabIndex = 6;
    Label1.Move(120, 480, 5655, 495);       Label1.TabIndex = 4;
    Picture1.Move(-120, 360, 1815, 375);    Picture1.TabIndex = 2;
    Picture3.Move(1560, -120, 2775, 1335);  Picture3.TabIndex = 1;
    Picture2.Move(4320, 360, 1815, 375);    Picture2.TabIndex = 0;
    Frame2.Move(0, 0, 6135, 1215);          Frame2.TabIndex = 5;

    infoFrame(Frame1);
    whiteBand(Frame2);
    for (PictureBox* p : {&Picture1, &Picture3, &Picture2}) p->borderStyle = ControlBorder::None;
    Picture1.setPicture(BuiltinPicture("cable_right.bmp"));
    Picture2.setPicture(BuiltinPicture("cable_left.bmp"));
    Picture3.setPicture(BuiltinPicture("usblogo.bmp"));
    const Font instructions{"Times New Roman", 12, true, false};
    Label3.Caption = " 2. Please contact manufacturer to help you.";
    Label3.setFont(instructions);
    Label2.Caption = " 1. Please check the BIOS. ";
    Label2.setFont(instructions);
    Label1.Caption = "This system DOSE NOT currently support USB";
    Label1.setFont(Font{"Times New Roman", 14.25, true, true});
    Label1.ForeColor = RGB(255, 0, 0);
    Label1.backStyle = BackStyle::Transparent;

    // The red cross over the logo.
    for (Line* l : {&Line1, &Line2}) {
        l->borderStyle = LineStyle::Solid;
        l->BorderColor = RGB(255, 0, 0);
        l->BorderWidth = 14;
    }
    Line1.X1 = 720, Line1.Y1 = 240, Line1.X2 = 2400, Line1.Y2 = 1200;
    Line2.X1 = 720, Line2.Y1 = 1200, Line2.X2 = 2400, Line2.Y2 = 240;

    Timer1.setInterval(0);
    Timer1.setEnabled(true);
    Timer2.setInterval(0);
    Timer2.setEnabled(true);

    stack({&Frame1, &Picture1, &Picture3, &Picture2, &Frame2});
    stack({&Label3, &Label2, &Label1});
    stack({&Line2, &Line1});
}

}  // namespace busprobe
