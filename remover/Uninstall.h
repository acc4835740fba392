#pragma once
// The remover's only window. It reads the removal script at start-up,
// offers the device for removal when its driver is found installed, and on
// "Uninstall" deletes the driver's files, registry keys and oem
// setup-information files, then offers a restart.
#include <array>
#include <cstdint>
#include <string>

#include "sysaccess/ui/Control.h"
#include "sysaccess/ui/Form.h"

namespace busclean {

using namespace sysaccess::ui;

class Uninstall : public Form {
public:
    Uninstall();

    // Controls directly on the window.
    Frame Frame1{*this, "Frame1"};
    CommandButton Command1{*this, "Command1"};
    PictureBox Picture1{*this, "Picture1"};
    CommandButton Command2{*this, "Command2"};
    Label Label7{*this, "Label7"};
    Label Label6{*this, "Label6"};
    Label Label5{*this, "Label5"};
    Label Label4{*this, "Label4"};
    Label Label3{*this, "Label3"};
    Label Label2{*this, "Label2"};
    Label Label1{*this, "Label1"};
    Line Line1{*this, "Line1"};
    OleContainer OLE1{*this, "OLE1"};
    // Inside Frame1: the device check box and the progress bar.
    CheckBox Check1{*this, "Check1", &Frame1};
    Label Label36{*this, "Label36", &Frame1};
    Label Label8{*this, "Label8", &Frame1};
    Label Label9{*this, "Label9", &Frame1};
    Label Label10{*this, "Label10", &Frame1};
    Label Label11{*this, "Label11", &Frame1};
    Label Label12{*this, "Label12", &Frame1};
    Label Label13{*this, "Label13", &Frame1};
    Label Label14{*this, "Label14", &Frame1};
    Label Label15{*this, "Label15", &Frame1};
    Label Label16{*this, "Label16", &Frame1};
    Label Label17{*this, "Label17", &Frame1};
    Label Label18{*this, "Label18", &Frame1};
    Label Label19{*this, "Label19", &Frame1};
    Label Label20{*this, "Label20", &Frame1};
    Label Label21{*this, "Label21", &Frame1};
    Label Label22{*this, "Label22", &Frame1};
    Label Label23{*this, "Label23", &Frame1};
    Label Label24{*this, "Label24", &Frame1};
    Label Label25{*this, "Label25", &Frame1};
    Label Label26{*this, "Label26", &Frame1};
    Label Label27{*this, "Label27", &Frame1};
    Label Label28{*this, "Label28", &Frame1};
    Label Label29{*this, "Label29", &Frame1};
    Label Label30{*this, "Label30", &Frame1};
    Label Label31{*this, "Label31", &Frame1};
    Label Label32{*this, "Label32", &Frame1};
    Label Label33{*this, "Label33", &Frame1};
    Label Label34{*this, "Label34", &Frame1};
    Label Label35{*this, "Label35", &Frame1};

    // Window state, filled at start-up from the removal script.
    std::string InfoText1, InfoText2, InfoText3, InfoText4, InfoText5, InfoText6, InfoText7;
    std::string ShortcutText1, ShortcutText2;
    std::string LinkSwitch;
    std::string DeviceName;
    std::string SpareText;
    std::array<char, 80> WinDirBuffer{};
    std::int32_t WinDirLength = 0;
    std::string WinDir;
    std::array<std::string, 51> RegistryMatchList;
    std::array<std::string, 201> RemovalList;
    std::int16_t EntryIndex = 0;
    std::string FoundName;
    std::array<std::string, 101> InfFields;
    std::int16_t SystemFamily = 0;

    // Handlers.
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Command1_Click();
    void Command2_Click();
    void Label1_Click();
    void Picture1_Click();

    // Procedures.
    void check_one();
    void readcheckbox1(CheckBox& box);
    void AskRestart();
    void CleanRegistry();
    void Bin();
    void DeleteSystemFiles();
    void DeleteDriverFiles();
    void DeleteInfFiles();
    void DeleteOtherInfFiles();
    void CheckOemInfFiles();
    void RemoveOemInfFiles();

    // The removal list entry at EntryIndex; outside 0-200 is a run-time
    // failure ("Subscript out of range").
    const std::string& CurrentEntry() const;
    // Progress block 1..27 (Label9..Label35), left to right.
    Label& Block(int n);

    // True while a removal run is going on; a second "Uninstall" is ignored then.
    bool RunInProgress = false;

private:
    void layout();
    void ReadScript();
    void DeleteMatchingFiles(const char* folder);
    std::string FindInFolder(const char* folder, const std::string& entry);
    // Reads oem<number>.inf of the inf folder into InfFields 1-50 and gives
    // its stored name, or "" when there is no such normal file.
    std::string ReadOemInf(int number);
};

// Section headers of the removal list.
namespace section {
inline constexpr const char* Registry = "[Delete Registry]";
inline constexpr const char* System = "[Delete System]";
inline constexpr const char* System32 = "[Delete System32]";
inline constexpr const char* Inf = "[Delete Inf]";
inline constexpr const char* Other = "[Delete Other]";
inline constexpr const char* W2kinf = "[Delete W2kinf]";
}  // namespace section

// The end marker of the registry match list.
inline constexpr const char* MatchListEnd = "==========";

}  // namespace busclean
