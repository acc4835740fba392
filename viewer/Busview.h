#pragma once
// Busview: shows how the remover reads a removal script and, with
// --machine, what it would delete on this machine, changing nothing.
#include <ostream>
#include <string>
#include <vector>

namespace busview {

// Exit statuses.
inline constexpr int Accepted = 0;     // start-up would accept the script
inline constexpr int EndsSilently = 1; // start-up would end silently
inline constexpr int UsageError = 2;

// Runs with the arguments after the program name.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace busview
