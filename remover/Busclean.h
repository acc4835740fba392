#pragma once
// The remover program: its window runs on the given display until it ends.
#include "sysaccess/ui/Driver.h"

namespace busclean {

int run(sysaccess::ui::Driver& driver);

}  // namespace busclean
