// Program entry: with arguments, one unattended run on the command line (no window, no
// display needed); without, the main window.
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/home_folder.h"
#include "cli/font_command.h"

#ifdef MORVIK_HAVE_GUI
#include "gui/application.h"
#endif

int main(int argc, char** argv) {
  const std::string home = morvik::FindHomeFolder(argv[0]);
  const std::string start = morvik::CurrentProcessFolder();
  if (argc > 1) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (morvik::IsFontCommand(args))
      return morvik::RunFontCommand(args, start, std::cout, std::cerr);
    return morvik::RunCommandLine(args, home, start, std::cout, std::cerr);
  }
#ifdef MORVIK_HAVE_GUI
  return morvik::RunMainWindow(argc, argv, home, start);
#else
  std::cerr << "morvik: built without the window; give a folder to recognise.\n"
            << "Try 'morvik --help'.\n";
  return morvik::kExitUsage;
#endif
}
