#pragma once
// Runs a program on the machine this build is for: the platform and the
// display of the build (a Wine-style prefix and X11 on Linux, the real
// system on Windows) are set up, the program runs, and its exit status
// comes back. A display that cannot be opened is reported on standard error
// with status 1.
#include <optional>

#include "sysaccess/ui/Driver.h"

namespace sysaccess {

using Program = int (*)(ui::Driver& driver);

// What a 32-bit Windows build does on 64-bit Windows, where the system shows
// it the 32-bit system's folders. It hands over to its 64-bit twin from the
// driver disk (AMD64\ below its own folder, the same file name) and ends with
// the twin's exit status. Without a twin it runs itself, unless it has a
// refusal: then a stop box with that text (the program's name as its title)
// shows before anything else, and the program ends with status 1. Other
// builds run the program.
struct On64BitWindows {
    const char* refusalWithoutTwin = nullptr;
};

int runOnThisMachine(const char* name, Program program, On64BitWindows on64BitWindows = {});

// For a program that does not go through runOnThisMachine (Busview), first
// thing: the exit status of its 64-bit twin where it handed over to one as
// above, nothing where it is to run itself.
std::optional<int> handOverTo64BitTwin();

}  // namespace sysaccess
