// Busprobe: tells the user whether this computer supports USB.
#include "checker/Busprobe.h"
#include "sysaccess/Host.h"

int main() { return sysaccess::runOnThisMachine("Busprobe", busprobe::run); }
