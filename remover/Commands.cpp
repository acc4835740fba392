// The buttons, the restart offer, closing, and the two clickable pictures.
#include "remover/Uninstall.h"
#include "sysaccess/Module1.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

void Uninstall::Command1_Click() {
    // The run lets window events through between its steps; a second press
    // of this button meanwhile must not start a run inside the run.
    if (RunInProgress) return;
    if (Check1.value() == 0) {
        MsgBox("Please select the device to be removed.", mb::Critical, "Error");
        return;
    }
    RunInProgress = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{RunInProgress};
    readcheckbox1(Check1);
    AskRestart();
}

void Uninstall::AskRestart() {
    if (SystemFamily == 1) {
        if (MsgBox("Windows must be restarted to complete the device removal. Do you wish to restart now?",
                   mb::YesNo + mb::Question, "Restart") == mb::Yes) {
            // The system closes the window when it goes down; Form_Unload ends the program then.
            Module1::ExitWindowsEx(Module1::EWX_REBOOT, 2);
            return;
        }
        End();
    } else if (SystemFamily == 2) {
        MsgBox("Windows must to restart to complete the device removal", mb::Exclamation, "Restart");
        End();
    }
}

void Uninstall::Command2_Click() { End(); }

void Uninstall::Form_Unload(int& Cancel) {
    (void)Cancel;
    End();
}

void Uninstall::Label1_Click() {
    try {
        FoundName = Dir("a:\\BUSPROBE.EXE");
        if (!FoundName.empty()) {
            Shell("a:\\BUSPROBE.EXE", 1);
            return;
        }
    } catch (const sysaccess::RuntimeError&) {
    }
    MsgBox("Please insert driver disk", mb::Exclamation, "Error");
}

void Uninstall::Picture1_Click() { OLE1.DoVerb(); }

}  // namespace busclean
