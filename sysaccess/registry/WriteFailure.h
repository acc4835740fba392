#pragma once
// The run-time failures of a registry deletion that cannot be carried out on
// the prefix's system.reg. Each text names the cause and what to do about it;
// nothing has been changed when one is raised, so running the removal again
// once the cause is gone completes it.
#include <filesystem>

namespace sysaccess::registry::failure {

// A Wine server runs for the prefix: it keeps its own copy of the registry
// and would write it back when it ends.
[[noreturn]] void inUseByWine();
// Another writer kept the file's lock for longer than a deletion waits.
[[noreturn]] void lockedByAnotherWriter(const std::filesystem::path& file);
// The new file (or the writers' lock beside it) could not be made: errno.
[[noreturn]] void cannotWrite(const std::filesystem::path& file, int error);
// The file exists but cannot be read: errno.
[[noreturn]] void cannotRead(const std::filesystem::path& file, int error);
// The file holds something other than a Wine registry.
[[noreturn]] void notARegistry(const std::filesystem::path& file);

}  // namespace sysaccess::registry::failure
