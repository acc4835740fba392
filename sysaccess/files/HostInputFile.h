#pragma once
// A plain file of the host opened for reading in pieces (POSIX descriptors).
#include <filesystem>
#include <memory>

#include "sysaccess/files/InputFile.h"

namespace sysaccess::files {

// Opens `host` for reading. Anything but a plain file (a folder, a pipe, a
// device) or a file that cannot be opened raises 75 "Path/File access error";
// the check is made on the opened file, and opening never waits for a pipe.
std::unique_ptr<InputFile> openHostFile(const std::filesystem::path& host);

}  // namespace sysaccess::files
