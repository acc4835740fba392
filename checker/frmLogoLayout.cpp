// Design of the brand window: frame, size and every control as drawn.
#include "checker/frmLogo.h"
#include "sysaccess/ui/Builtin.h"

namespace busprobe {

namespace {
const Font TitleFont{"Times New Roman", 18, true, false};
const Font VersionFont{"Times New Roman", 9.75, true, false};
const Font ContactFont{"Times New Roman", 12, true, false};
const Font NoticeFont{"Arial", 8.25, true, false};
const Color Blue = RGB(0, 0, 255), Grey = RGB(128, 128, 128), Red = RGB(255, 0, 0);

void titleText(Label& l, const char* text, const Font& font, Color color) {
    l.Caption = text;
    l.setFont(font);
    l.ForeColor = color;
    l.backStyle = BackStyle::Transparent;
    l.alignment = Alignment::Center;
}
}  // namespace

void frmLogo::layout() {
    Caption = "";
    borderStyle = FormBorderStyle::FixedDialog;
    hasTitleBar = false;
    ControlBox = false;
    ShowInTaskbar = false;
    ScaleWidth = 7335;
    ScaleHeight = 4140;

    //           Left  Top   Width Height          tab
    Frame3.Move(120, 0, 7095, 1095);     Frame3.TabIndex = 4;
    Frame2.Move(3600, 840, 3615, 2895);  Frame2.TabIndex = 2;
    Picture1.Move(480, 1320, 2775, 2175); Picture1.TabIndex = 0;
    Frame1.Move(120, 840, 3615, 2895);   Frame1.TabIndex = 1;
    Label4.Move(1560, 3840, 4095, 375);  Label4.TabIndex = 3;
    Picture1.borderStyle = ControlBorder::None;
    Picture1.setPicture(BuiltinPicture("brand.bmp"));
    Label4.Caption = "Copyright (C) 1999 Tarnwick Devices Inc.";
    Label4.setFont(NoticeFont);
    Label4.alignment = Alignment::Center;

    Label1.Move(352, 240, 3255, 375);    Label1.TabIndex = 5;
    Label6.Move(390, 275, 3255, 375);    Label6.TabIndex = 14;
    Label2.Move(1635, 600, 3615, 495);   Label2.TabIndex = 6;
    Label5.Move(1685, 625, 3615, 495);   Label5.TabIndex = 13;
    Label3.Move(5730, 708, 1215, 255);   Label3.TabIndex = 7;
    Label7.Move(5765, 720, 1215, 255);   Label7.TabIndex = 15;
    titleText(Label1, "Universal Serial Bus", TitleFont, Blue);
    titleText(Label6, "Universal Serial Bus", TitleFont, Grey);
    titleText(Label2, "System Check Program", TitleFont, Blue);
    titleText(Label5, "System Check Program", TitleFont, Grey);
    titleText(Label3, "Version  1.00", VersionFont, Red);
    titleText(Label7, "Version  1.00", VersionFont, Grey);

    Labcompany.Move(120, 480, 3375, 375);  Labcompany.TabIndex = 8;
    Labaddress.Move(120, 840, 3375, 615);  Labaddress.TabIndex = 9;
    Labphone.Move(120, 1440, 3375, 255);   Labphone.TabIndex = 10;
    Labfax.Move(120, 1800, 3375, 255);     Labfax.TabIndex = 11;
    Labmail.Move(120, 2160, 3375, 495);    Labmail.TabIndex = 12;
    for (Label* l : {&Labcompany, &Labaddress, &Labphone, &Labfax, &Labmail}) l->setFont(ContactFont);

    // Timers are enabled in the design with no interval: they wait for the load.
    Timer1.setInterval(0);
    Timer1.setEnabled(true);

    stack({&Frame3, &Frame2, &Picture1, &Frame1, &Label4});
    stack({&Label1, &Label6, &Label2, &Label5, &Label3, &Label7});
    stack({&Labmail, &Labfax, &Labphone, &Labaddress, &Labcompany});
}

}  // namespace busprobe
