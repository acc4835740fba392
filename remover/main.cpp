// Busclean: takes the USB adapter's driver off the machine.
#include "remover/Busclean.h"
#include "sysaccess/Host.h"

// The 32-bit remover on 64-bit Windows would look for the driver's files in
// the 32-bit system's folders and could not remove its package: it hands over
// to the 64-bit remover on the disk, and refuses where there is none.
constexpr sysaccess::On64BitWindows Need64BitRemover{
    "This copy of Busclean is for 32-bit Windows, and this Windows is 64-bit.\n\n"
    "Run the 64-bit Busclean from the AMD64 folder of the driver disk to remove the driver. "
    "Nothing was removed."};

int main() { return sysaccess::runOnThisMachine("Busclean", busclean::run, Need64BitRemover); }
