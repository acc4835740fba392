// Deletion of the script's files from the four Windows folders.
#include "remover/Uninstall.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

void Uninstall::DeleteSystemFiles() { DeleteMatchingFiles("\\system\\"); }
void Uninstall::DeleteDriverFiles() { DeleteMatchingFiles("\\system32\\drivers\\"); }
void Uninstall::DeleteInfFiles() { DeleteMatchingFiles("\\inf\\"); }
void Uninstall::DeleteOtherInfFiles() { DeleteMatchingFiles("\\inf\\other\\"); }

// Deletes every normal file of the folder that matches the current entry,
// one per search, until the search finds none.
void Uninstall::DeleteMatchingFiles(const char* folder) {
    for (;;) {
        const std::string& entry = CurrentEntry();
        if (entry.empty()) return;
        const std::string pattern = WinDir + folder + entry;
        FoundName = Dir(pattern);
        if (FoundName.empty()) return;
        // The file is deleted where the search found it, also when the entry
        // names a sub-folder.
        Kill(pattern.substr(0, pattern.find_last_of("\\/") + 1) + FoundName);
    }
}

}  // namespace busclean
