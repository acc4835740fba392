#include "checker/frmWrong.h"

#include "sysaccess/Module1.h"

namespace busprobe {

namespace {
const Color Red = QBColor(12);
const Color LightGrey = QBColor(7);

void toggle(Line& line) {
    line.borderStyle = line.borderStyle == LineStyle::Solid ? LineStyle::Transparent : LineStyle::Solid;
}
}  // namespace

frmWrong::frmWrong() : ResultWindow("frmWrong") {
    layout();
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
}

void frmWrong::Form_Load() {
    Timer2.setInterval(100);
    StartTitleScroll();
    Timer1.setEnabled(true);
    Timer1.setInterval(500);
    Line1.borderStyle = LineStyle::Solid;
    Line2.borderStyle = LineStyle::Solid;
    Label1.ForeColor = Red;
}

void frmWrong::Form_Resize() { UpdateScrollLimit(); }

void frmWrong::Timer2_Timer() { ScrollTitle(); }

void frmWrong::Timer1_Timer() {
    Module1::FlashWindow(hWnd(), 1);
    toggle(Line1);
    toggle(Line2);
    Label1.ForeColor = Label1.ForeColor == Red ? LightGrey : Red;
}

}  // namespace busprobe
