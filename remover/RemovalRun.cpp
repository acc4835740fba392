// The removal run: after the user confirms, every entry of the removal list
// runs the step of its section, and the progress bar fills section by section.
#include "remover/Uninstall.h"
#include "sysaccess/Module1.h"
#include "sysaccess/ui/Application.h"

namespace busclean {

namespace {
enum class Section { Registry, System, Drivers, Inf, Other, Oem };
}

void Uninstall::readcheckbox1(CheckBox& box) {
    if (box.value() == 0) return;
    const int answer = MsgBox("This will remove the driver of " + box.Caption + "\r\n Do you wish to continue?",
                              mb::YesNo + mb::Question, "Uninstall driver");
    if (answer != mb::Yes) {
        box.setValue(0);
        End();
    }

    Section current = Section::Registry;
    EntryIndex = 1;
    for (;;) {
        const std::string& entry = CurrentEntry();
        if (entry.empty()) return;
        if (entry == section::Registry) current = Section::Registry;
        else if (entry == section::System) current = Section::System;
        else if (entry == section::System32) current = Section::Drivers;
        else if (entry == section::Inf) current = Section::Inf;
        else if (entry == section::Other) current = Section::Other;
        else if (entry == section::W2kinf) current = Section::Oem;

        if (current == Section::Oem) {
            for (int run = 1; run <= 50; ++run) {
                RemoveOemInfFiles();
                if (run == 10) Label29.Visible = true;
                if (run == 20) Label30.Visible = true;
                if (run == 30) Label31.Visible = true;
                if (run == 40) Label32.Visible = true, Label33.Visible = true;
                if (run == 50) Label34.Visible = true, Label35.Visible = true;
                DoEvents();
            }
            DoEvents();
        } else {
            int firstBlock = 1;
            switch (current) {
                case Section::Registry: CleanRegistry(); firstBlock = 1; break;
                case Section::System: DeleteSystemFiles(); firstBlock = 5; break;
                case Section::Drivers: DeleteDriverFiles(); firstBlock = 9; break;
                case Section::Inf: DeleteInfFiles(); firstBlock = 13; break;
                case Section::Other: DeleteOtherInfFiles(); firstBlock = 17; break;
                case Section::Oem: break;
            }
            for (int n = firstBlock; n < firstBlock + 4; ++n) Block(n).Visible = true;
            Module1::Sleep(50);
            DoEvents();
            DoEvents();
        }
        EntryIndex = static_cast<std::int16_t>(EntryIndex + 1);
    }
}

}  // namespace busclean
