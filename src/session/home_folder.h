// Where the program lives: its home folder (settings file, relative run folders and set
// names) and the folder it was started in.
#pragma once

#include <string>

namespace morvik {

// $MORVIK_HOME when set and not empty, else the folder of the running executable
// (argv0's folder when /proc cannot tell).
std::string FindHomeFolder(const char* argv0);

// The folder of the running executable (argv0's folder when /proc cannot tell), where the
// data that comes with the program is found whatever MORVIK_HOME says.
std::string ExecutableFolder(const char* argv0);

// The process's current folder at the moment of the call.
std::string CurrentProcessFolder();

}  // namespace morvik
