// The window program: the main window over a workspace in the program's home folder.
#include <cstdlib>
#include <iostream>
#include <string>

#include "gui/application.h"
#include "gui/display_probe.h"
#include "session/home_folder.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

int main(int argc, char** argv) {
  // Qt aborts when it finds no display, or one that does not answer; say so instead.
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
    std::cerr << "morvik-window: the window needs a display (DISPLAY or WAYLAND_DISPLAY is not "
                 "set).\nWithout one, recognise a folder from the command line: see "
                 "'morvik --help'.\n";
    return 1;
  }
  if (const std::string problem = morvik::DisplayProblem(); !problem.empty()) {
    std::cerr << "morvik-window: the window cannot open its display: " << problem
              << ".\nWithout one, recognise a folder from the command line: see "
                 "'morvik --help'.\n";
    return 1;
  }
  return morvik::RunMainWindow(argc, argv, morvik::FindHomeFolder(argv[0]),
                               morvik::CurrentProcessFolder());
}
