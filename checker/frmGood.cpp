#include "checker/frmGood.h"

namespace busprobe {

namespace {
const Color Green = QBColor(10);
const Color LightGrey = QBColor(7);
}  // namespace

frmGood::frmGood() : ResultWindow("frmGood") {
    layout();
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
}

void frmGood::Form_Load() {
    Timer1.setInterval(100);
    StartTitleScroll();
    Timer2.setEnabled(true);
    Timer2.setInterval(300);
    Label1.ForeColor = Green;
}

void frmGood::Form_Resize() { UpdateScrollLimit(); }

void frmGood::Timer1_Timer() { ScrollTitle(); }

void frmGood::Timer2_Timer() { Label1.ForeColor = Label1.ForeColor == Green ? LightGrey : Green; }

}  // namespace busprobe
