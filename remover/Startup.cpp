// Start-up of the remover: the window is placed, the Windows folder found,
// the removal script read, the texts, picture and link package prepared, and
// the device offered when its driver is installed.
#include <algorithm>

#include "remover/Uninstall.h"
#include "sysaccess/Module1.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

using sysaccess::RuntimeError;

namespace {
const char* const ShortcutFile = "c:\\lnk.url";
}

void Uninstall::Form_Load() {
    Left = (ScreenWidth() - Width()) / 2;
    Top = (ScreenHeight() - Height()) / 2;

    WinDirLength = static_cast<std::int32_t>(Module1::GetWindowsDirectoryA(WinDirBuffer.data(), 80));
    if (WinDirLength < 80) {
        WinDir.assign(WinDirBuffer.data(), static_cast<std::size_t>(WinDirLength));
    } else {
        // The folder does not fit the buffer: the call reported the size it
        // needs, so ask again with that much room.
        std::string room(static_cast<std::size_t>(WinDirLength), '\0');
        WinDirLength = static_cast<std::int32_t>(
            Module1::GetWindowsDirectoryA(room.data(), static_cast<std::uint32_t>(room.size())));
        WinDir = room.substr(0, std::min(room.size(), static_cast<std::size_t>(WinDirLength)));
    }

    // From here on any failure ends the remover before its window shows.
    try {
        ReadScript();

        Label1.Caption = InfoText1;
        Label2.Caption = InfoText2;
        Label3.Caption = InfoText3;
        Label4.Caption = InfoText4;
        Label5.Caption = InfoText5;
        Label6.Caption = InfoText6;
        Label7.Caption = InfoText7;
        Check1.Caption = DeviceName;

        for (int n = 1; n <= 27; ++n) Block(n).Visible = false;

        if (!Dir("Brand.bmp").empty()) {
            Picture1.setPicture(LoadPicture("Brand.bmp"));
        } else {
            Picture1.Visible = true;
        }

        // The link package keeps its own copy of the shortcut, so the file
        // lives only for the moment the package is made.
        WriteLine(ShortcutFile, ShortcutText1 + "\r\n" + ShortcutText2);
        OLE1.CreateEmbed(ShortcutFile);
        Kill(ShortcutFile);

        if (CDbl(LinkSwitch) == 0) Picture1.Enabled = false;

        check_one();
    } catch (const RuntimeError&) {
        End();
    }
}

// Reads the 145 fields of the script in file order. The second read of
// entries 81-90 overwrites the first, so fields 116-125 are never kept.
void Uninstall::ReadScript() {
    auto script = OpenForInput(DataFilePath("Unins.dat"));
    for (std::string* header : {&InfoText1, &InfoText2, &InfoText3, &InfoText4, &InfoText5, &InfoText6,
                                &InfoText7, &ShortcutText1, &ShortcutText2, &LinkSwitch, &DeviceName, &SpareText}) {
        *header = script.next();
    }
    script.next();  // read and thrown away
    for (int i = 1; i <= 22; ++i) RegistryMatchList[static_cast<std::size_t>(i)] = script.next();
    auto readEntries = [&](int first, int last) {
        for (int i = first; i <= last; ++i) RemovalList[static_cast<std::size_t>(i)] = script.next();
    };
    for (int group = 0; group < 8; ++group) readEntries(group * 10 + 1, group * 10 + 10);
    readEntries(81, 90);
    readEntries(81, 90);
    readEntries(91, 100);
}

}  // namespace busclean
