// The installed-driver check: may the user tick the device?
#include "remover/Uninstall.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

// Walks the removal list looking for a listed file in its section's folder.
// The first file found enables the device and ends the walk; a miss disables
// it again. "[Delete Registry]" is no header here, so its entries are looked
// up as files of the section in force.
void Uninstall::check_one() {
    const char* folder = "\\system\\";
    bool oemSection = false;
    EntryIndex = 1;
    for (;;) {
        const std::string& entry = CurrentEntry();
        if (entry.empty()) return;
        if (entry == section::System) folder = "\\system\\", oemSection = false;
        else if (entry == section::System32) folder = "\\system32\\drivers\\", oemSection = false;
        else if (entry == section::Inf) folder = "\\inf\\", oemSection = false;
        else if (entry == section::Other) folder = "\\inf\\other\\", oemSection = false;
        else if (entry == section::W2kinf) oemSection = true;

        if (oemSection) {
            CheckOemInfFiles();
        } else if (!FindInFolder(folder, entry).empty()) {
            Check1.Enabled = true;
            return;
        } else {
            Check1.Enabled = false;
        }
        EntryIndex = static_cast<std::int16_t>(EntryIndex + 1);
    }
}

}  // namespace busclean
