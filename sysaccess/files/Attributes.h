#pragma once
// DOS attributes of host files, as a Wine-style machine image keeps them.
#include <filesystem>

namespace sysaccess::files {

struct DosAttributes {
    bool hidden = false, system = false, readOnly = false, directory = false;
};

// Hidden: the name begins with "." or the user.DOSATTRIB extended attribute
// has bit 0x2. System: bit 0x4. Read-only: bit 0x1, or the owner may not
// write. Directory: a folder. Links are followed; a missing entry has none.
DosAttributes attributesOf(const std::filesystem::path& host);

}  // namespace sysaccess::files
