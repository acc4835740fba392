// Placeholder until the registry cleanup lands: fails loudly if reached.
#include "remover/Uninstall.h"
#include "sysaccess/RuntimeError.h"

namespace busclean {
void Uninstall::CleanRegistry() { sysaccess::raise(5, "registry cleanup not built yet"); }
void Uninstall::Bin() { sysaccess::raise(5, "registry cleanup not built yet"); }
}  // namespace busclean
