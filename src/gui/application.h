// The interactive program: the application object, the main window and its event loop.
#pragma once

#include <string>

namespace morvik {

// Runs the main window until it is closed; returns the exit code. home: the program's home
// folder; start: the folder the process was started in.
int RunMainWindow(int argc, char** argv, const std::string& home, const std::string& start);

}  // namespace morvik
