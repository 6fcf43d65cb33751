#pragma once
// Turning the program's arguments into the path of the book to open.
#include <string>
#include <vector>

namespace tomelet {

// Joins the arguments (program name already removed) with single blanks, removes every
// double quote at the start and at the end, and cuts the result to 259 UTF-16 units.
// A path the shell split at its blanks comes back whole.
std::string BookPathFromArguments(const std::vector<std::string>& argumentsUtf8);

}  // namespace tomelet
