// Deletion of the script's files from the four Windows folders.
#include "remover/Uninstall.h"
#include "sysaccess/files/Names.h"
#include "sysaccess/platform/Platform.h"
#include "sysaccess/text/CodePage.h"
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
        FoundName = FindInFolder(folder, entry);
        if (FoundName.empty()) return;
        // The file is deleted where the search found it, also when the entry
        // names a sub-folder. The folder ends at the last separator that is a
        // character of its own: in a double-byte code page a name's second
        // byte may be a '\'.
        const std::string pattern = WinDir + folder + entry;
        const std::size_t cut = sysaccess::text::lastSeparator(pattern, sysaccess::platform().ansiCodePage());
        Kill(pattern.substr(0, cut + 1) + FoundName);
    }
}

// The first normal file of the folder, or of a folder below it, that the
// entry names. An entry that would reach outside the folder (climbing out
// with "..", an absolute path, a drive) finds nothing: a file step deletes
// only what lies in its own folder.
std::string Uninstall::FindInFolder(const char* folder, const std::string& entry) {
    if (!sysaccess::files::staysBelowFolder(entry)) return "";
    return Dir(WinDir + folder + entry);
}

}  // namespace busclean
