// The unattended command line: `morvik <folder> [<set name> | <character>]` with options.
// It never creates a window and never writes "morvik.ini".
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/usage.h"

namespace morvik {

// Runs the command line. home is the program's home folder, startFolder the folder the
// program was started in (relative arguments are taken against it).
int RunCommandLine(const std::vector<std::string>& args, const std::string& home,
                   const std::string& startFolder, std::ostream& out, std::ostream& err);

std::string HelpText();

}  // namespace morvik
