// The command-line program: with arguments, one unattended run (no window, no display, no
// window libraries); without, it starts the window program.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/font_command.h"
#include "cli/read_command.h"
#include "cli/window_launch.h"
#include "morvik/files.h"
#include "morvik/jobs.h"
#include "morvik/library.h"

int main(int argc, char** argv) {
  morvik::KeepFreedMemory();
  const std::string home = morvik::FindHomeFolder(argv[0]);
  if (argc > 1) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string start = morvik::CurrentProcessFolder();
    if (morvik::IsFontCommand(args))
      return morvik::RunFontCommand(args, start, std::cout, std::cerr);
    if (morvik::IsPictureCommand(args)) {
      // With no set named, pictures are read with the stock library: $MORVIK_STOCK when set,
      // as Library::Stock() takes it, else the one beside the program or installed with it.
      const std::string exeFolder = morvik::ExecutableFolder(argv[0]);
      morvik::DefaultSets stock;
      if (const char* named = std::getenv("MORVIK_STOCK"); named && *named) {
        stock = morvik::DefaultSets({named}, {named});
      } else {
        stock.Tried = morvik::Library::StockPlaces(exeFolder);
        if (std::string lib = morvik::Library::FindStock(exeFolder); !lib.empty())
          stock.Names.push_back(std::move(lib));
      }
      return morvik::RunPictureCommand(args, stock, start, std::cout, std::cerr);
    }
    return morvik::RunCommandLine(args, home, start, std::cout, std::cerr);
  }
  if (!morvik::DisplayAvailable()) {
    std::cerr << "morvik: the window needs a display (DISPLAY or WAYLAND_DISPLAY is not set).\n"
              << "Without one, recognise a folder from the command line: see 'morvik --help'.\n";
    return morvik::kExitFailed;
  }
  const std::string window = morvik::FindWindowProgram();
  if (window.empty()) {
    std::cerr << "morvik: built without the window; give a folder to recognise.\n"
              << "Try 'morvik --help'.\n";
    return morvik::kExitUsage;
  }
  return morvik::StartWindow(window, home, std::cerr);
}
