#include "sysaccess/registry/WriteFailure.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "sysaccess/RuntimeError.h"

namespace sysaccess::registry::failure {

namespace {

std::string reason(int error) { return std::strerror(error ? error : EIO); }

}  // namespace

void inUseByWine() {
    raise(err::PermissionDenied,
          "The machine image is in use by Wine, so no registry key was removed.\r\n"
          "Close its programs, or run \"wineserver -k\" for it, and try again.");
}

void lockedByAnotherWriter(const std::filesystem::path& file) {
    raise(err::PermissionDenied, file.string() + " is being changed by another program, so no registry key was "
                                 "removed.\r\nTry again when that program is done.");
}

void cannotWrite(const std::filesystem::path& file, int error) {
    std::string remedy;
    int number = err::PathFileAccess;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            number = err::DiskFull;
            remedy = "Free some space on its drive and try again.";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            number = err::PermissionDenied;
            remedy = "Make the file and its folder writable for this user and try again.";
            break;
        default:
            remedy = "Try again once the file can be written.";
    }
    raise(number, file.string() + " cannot be written: " + reason(error) + ".\r\nNo registry key was removed. " +
                      remedy);
}

void cannotRead(const std::filesystem::path& file, int error) {
    raise(err::PathFileAccess, file.string() + " cannot be read: " + reason(error) +
                                   ".\r\nNo registry key was removed. Make it a readable file and try again.");
}

void notARegistry(const std::filesystem::path& file) {
    raise(err::PathFileAccess, file.string() + " is not a Wine registry file.\r\n"
                               "No registry key was removed. Put the machine image's own system.reg back "
                               "and try again.");
}

}  // namespace sysaccess::registry::failure
