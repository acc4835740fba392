// Busview: how the remover reads its removal script, and what it would do here.
#include <iostream>

#include "sysaccess/Host.h"
#include "viewer/Busview.h"

int main(int argc, char** argv) {
    // The 32-bit Busview on 64-bit Windows lets its 64-bit twin do the work.
    if (const auto status = sysaccess::handOverTo64BitTwin()) return *status;
    return busview::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
