// Starting the window program from the command line's executable: it lives in its own
// executable so that command-line runs never load the window's libraries.
#pragma once

#include <ostream>
#include <string>

namespace morvik {

// Whether a window can be shown: DISPLAY or WAYLAND_DISPLAY set, or a Qt platform chosen.
bool DisplayAvailable();

// The window program "morvik-window": beside the running executable, else in the install's
// libexec or bin folder. Empty when there is none.
std::string FindWindowProgram();

// Replaces this process by the window program with the home folder passed on in MORVIK_HOME.
// Returns only when that fails, with the exit status to use after its message on err.
int StartWindow(const std::string& program, const std::string& home, std::ostream& err);

}  // namespace morvik
