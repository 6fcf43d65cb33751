#pragma once
// Turning the program's arguments into the path of the book to open.
#include <string>
#include <string_view>
#include <vector>

namespace tomelet {

// The arguments of a command line after the program's name, split by the rules of
// Windows' CommandLineToArgvW (which lives in shell32, a DLL the start does not load):
// the name ends at the closing quote or the first blank; blanks and tabs outside quotes
// separate; 2n backslashes before a quote give n and the quote opens or closes, 2n+1 give
// n and a quote; other backslashes stay; a quote right after a closing one is kept.
std::vector<std::string> ArgumentsOfCommandLine(std::string_view commandLineUtf8);

// Joins the arguments (program name already removed) with single blanks, removes every
// double quote at the start and at the end, and cuts the result to 259 UTF-16 units.
// A path the shell split at its blanks comes back whole.
std::string BookPathFromArguments(const std::vector<std::string>& argumentsUtf8);

}  // namespace tomelet
