// The command's body, which the system's entry point
// (kovra_catalogue_entry_*.cpp) runs with the arguments in UTF-8.
#pragma once

#include <string>

// Runs the command line `argv` (`argc` arguments, the program's name first);
// the exit code.
int RunCommand(int argc, char** argv);

// Prints "kovra-catalogue: `message`" on standard error.
void PrintError(const std::string& message);
