#pragma once
// The checker program: its start-up window runs on the given display until
// the last window has gone.
#include "sysaccess/ui/Driver.h"

namespace busprobe {

int run(sysaccess::ui::Driver& driver);

}  // namespace busprobe
