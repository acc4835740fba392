// Busview: how the remover reads its removal script, and what it would do here.
#include <iostream>

#include "viewer/Busview.h"

int main(int argc, char** argv) {
    return busview::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
