// Busclean: takes the USB adapter's driver off the machine.
#include "remover/Busclean.h"
#include "sysaccess/Host.h"

int main() { return sysaccess::runOnThisMachine("Busclean", busclean::run); }
