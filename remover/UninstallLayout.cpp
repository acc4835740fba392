// Design of the remover's window: frame, size and every control as drawn.
#include "remover/Uninstall.h"
#include "sysaccess/ui/Builtin.h"

namespace busclean {

namespace {
const Font Info{"Times New Roman", 12, true, false};
const Color Navy = RGB(0, 0, 128);
}  // namespace

void Uninstall::layout() {
    Caption = "USB Uninstall Utility";
    borderStyle = FormBorderStyle::FixedDialog;
    hasTitleBar = true;
    ControlBox = true;
    ShowInTaskbar = true;
    Icon = BuiltinIcon("busclean.ico", 32);
    ScaleWidth = 6615;
    ScaleHeight = 4230;
    centred = false;  // start-up centres the window itself
    Left = 45 - frameThickness() * TwipsPerPixel;
    Top = 1635 - (frameThickness() + captionHeight()) * TwipsPerPixel;

    //                Left  Top   Width Height       tab
    Picture1.Move(0, 0, 2835, 2085);         Picture1.TabIndex = 4;
    Label1.Move(3000, 0, 4452, 372);         Label1.TabIndex = 5;
    Label2.Move(3000, 360, 4455, 495);       Label2.TabIndex = 6;
    Label3.Move(3000, 650, 4455, 375);       Label3.TabIndex = 7;
    Label4.Move(3000, 900, 4455, 255);       Label4.TabIndex = 8;
    Label5.Move(3000, 1440, 4455, 255);      Label5.TabIndex = 9;
    Label6.Move(3000, 1680, 4455, 255);      Label6.TabIndex = 10;
    Label7.Move(3000, 1920, 4455, 375);      Label7.TabIndex = 11;
    Frame1.Move(120, 2280, 4695, 1815);      Frame1.TabIndex = 0;
    Command1.Move(5040, 2400, 1455, 735);    Command1.TabIndex = 12;
    Command2.Move(5040, 3360, 1455, 735);    Command2.TabIndex = 1;
    OLE1.Move(-120, 4680, 1335, 855);        OLE1.TabIndex = 3;
    Check1.Move(120, 480, 4455, 480);        Check1.TabIndex = 2;
    Label36.Move(120, 1200, 1455, 255);      Label36.TabIndex = 41;
    Label8.Move(120, 1440, 4455, 255);       Label8.TabIndex = 13;

    Label1.setFont(Font{"Times New Roman", 15.75, true, false});
    for (Label* l : {&Label2, &Label3, &Label4, &Label5, &Label6, &Label7}) l->setFont(Info);
    Label2.backStyle = BackStyle::Transparent;
    Label7.backStyle = BackStyle::Transparent;

    Frame1.Caption = "Device to Remove";
    Command1.Caption = "Uninstall";
    Command1.setFont(Info);
    Command1.Default = true;
    Command2.Caption = "Exit";
    Command2.setFont(Info);
    OLE1.Enabled = false;
    Check1.setFont(Info);
    Check1.Enabled = false;
    Label36.Caption = "Removing Files :";
    Label36.backStyle = BackStyle::Transparent;
    Label8.borderStyle = ControlBorder::Single;
    Label8.alignment = Alignment::Center;

    Picture1.borderStyle = ControlBorder::None;
    Picture1.AutoSize = true;
    Picture1.BackColor = syscolor::Menu;
    Picture1.ForeColor = syscolor::WindowText;
    Picture1.mousePointer = MousePointer::Custom;
    Picture1.mouseIcon = BuiltinIcon("hand.cur", 32);

    Line1.X1 = 0, Line1.Y1 = 2220, Line1.X2 = 7290, Line1.Y2 = 2220;
    Line1.borderStyle = LineStyle::Solid;
    Line1.BorderColor = RGB(0, 0, 0);
    Line1.BorderWidth = 1;

    // The 27 progress blocks, left to right, with their tab indexes.
    static constexpr int lefts[27] = {150,  310,  480,  650,  810,  970,  1140, 1310, 1470,
                                      1630, 1800, 1960, 2130, 2290, 2460, 2620, 2790, 2950,
                                      3120, 3280, 3450, 3610, 3780, 3940, 4110, 4280, 4440};
    static constexpr int tabs[27] = {14, 40, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                                     27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39};
    for (int n = 1; n <= 27; ++n) {
        Label& block = Block(n);
        block.Move(lefts[n - 1], 1490, n == 27 ? 105 : 135, 170);
        block.TabIndex = tabs[n - 1];
        block.BackColor = Navy;
    }

    stack({&Frame1, &Command1, &Picture1, &Command2, &Label7, &Label6, &Label5, &Label4, &Label3, &Label2,
           &Label1, &Line1, &OLE1});
    stack({&Check1, &Label36, &Label10, &Label35, &Label34, &Label33, &Label32, &Label31, &Label30,
           &Label29, &Label28, &Label27, &Label26, &Label25, &Label24, &Label23, &Label22, &Label21,
           &Label20, &Label19, &Label18, &Label17, &Label16, &Label15, &Label14, &Label13, &Label12,
           &Label11, &Label9, &Label8});
}

}  // namespace busclean
