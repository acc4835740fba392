#include "checker/frmLogo.h"

#include "checker/frmGood.h"
#include "checker/frmWrong.h"
#include "sysaccess/Module1.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Services.h"

namespace busprobe {

using namespace Module1;
using Module1::Busprobe::GetSubkeyByIndex;
using sysaccess::RuntimeError;

frmLogo::frmLogo() : Form("frmLogo") {
    layout();
    Frame1.DragDrop = [this](Control& s, float x, float y) { Frame1_DragDrop(s, x, y); };
    Frame2.DragDrop = [this](Control& s, float x, float y) { Frame2_DragDrop(s, x, y); };
    Frame3.DragDrop = [this](Control& s, float x, float y) { Frame3_DragDrop(s, x, y); };
    Labaddress.Click = [this] { Labaddress_Click(); };
    Labcompany.Click = [this] { Labcompany_Click(); };
    Label1.Click = [this] { Label1_Click(); };
    Label2.Click = [this] { Label2_Click(); };
    Label3.Click = [this] { Label3_Click(); };
    Labfax.Click = [this] { Labfax_Click(); };
    Labmail.Click = [this] { Labmail_Click(); };
    Labphone.Click = [this] { Labphone_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
}

void frmLogo::Form_Load() {
    // Any failure while filling the window ends the program before it shows.
    try {
        auto data = OpenForInput(DataFilePath("Busprobe.dat"));
        const std::string company = data.next();
        const std::string address = data.next();
        const std::string phone = data.next();
        const std::string fax = data.next();
        const std::string mail = data.next();
        Labcompany.Caption = company;
        Labaddress.Caption = address;
        Labphone.Caption = phone;
        Labfax.Caption = fax;
        Labmail.Caption = mail;

        if (!Dir("Brand.bmp").empty()) {
            Picture1.setPicture(LoadPicture("Brand.bmp"));
        } else {
            Picture1.Visible = true;
        }

        Timer1.setInterval(5000);
        Timer1.setEnabled(true);
    } catch (const RuntimeError&) {
        End();
    }
}

// Every trigger does the same: the brand window goes, then the probe runs.
void frmLogo::Trigger() {
    Unload();
    CheckUsbSupport();
}

void frmLogo::Form_Click() { Trigger(); }
void frmLogo::Frame1_DragDrop(Control&, float, float) { Trigger(); }
void frmLogo::Frame2_DragDrop(Control&, float, float) { Trigger(); }
void frmLogo::Frame3_DragDrop(Control&, float, float) { Trigger(); }
void frmLogo::Labaddress_Click() { Trigger(); }
void frmLogo::Labcompany_Click() { Trigger(); }
void frmLogo::Label1_Click() { Trigger(); }
void frmLogo::Label2_Click() { Trigger(); }
void frmLogo::Label3_Click() { Trigger(); }
void frmLogo::Labfax_Click() { Trigger(); }
void frmLogo::Labmail_Click() { Trigger(); }
void frmLogo::Labphone_Click() { Trigger(); }
void frmLogo::Picture1_Click() { Trigger(); }
void frmLogo::Timer1_Timer() { Trigger(); }

// Where the hardware tree lists the USB root hubs, one subkey per hub: the
// 9x layout's key first, then the NT layout's keys for the hubs of each USB
// generation (1.x, 2.0, 3).
namespace {
constexpr const char* RootHubKeys[] = {
    "Enum\\USB\\ROOT_HUB",
    "SYSTEM\\CurrentControlSet\\Enum\\USB\\ROOT_HUB",
    "SYSTEM\\CurrentControlSet\\Enum\\USB\\ROOT_HUB20",
    "SYSTEM\\CurrentControlSet\\Enum\\USB\\ROOT_HUB30",
};
}  // namespace

// The computer supports USB when the hardware tree lists a first USB root
// hub. The keys are asked in order until one names a hub; every key opened
// stays open while the verdict is on screen.
void frmLogo::CheckUsbSupport() {
    constexpr int KeyCount = sizeof RootHubKeys / sizeof RootHubKeys[0];
    HKEY32 hKeys[KeyCount] = {};
    int opened = 0;
    std::string hubName;
    while (hubName.empty() && opened < KeyCount) {
        RegOpenKeyA(HKEY_LOCAL_MACHINE, RootHubKeys[opened], hKeys[opened]);
        GetSubkeyByIndex(hKeys[opened], 0, hubName);
        ++opened;
    }
    auto& app = Application::current();
    if (!hubName.empty()) {
        app.form<frmGood>().ShowModal();
    } else {
        app.form<frmWrong>().ShowModal();
    }
    for (int k = 0; k < opened; ++k) RegCloseKey(hKeys[k]);
}

}  // namespace busprobe
