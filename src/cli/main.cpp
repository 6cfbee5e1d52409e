// The command-line program: with arguments, one unattended run (no window, no display, no
// window libraries); without, it starts the window program.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/font_command.h"
#include "cli/heap_start.h"
#include "cli/read_command.h"
#include "cli/window_launch.h"
#include "morvik/files.h"
#include "morvik/jobs.h"
#include "morvik/library.h"

int main(int argc, char** argv) {
  morvik::KeepFreedMemory();
  if (argc > 1) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string start = morvik::CurrentProcessFolder();
    if (morvik::IsFontCommand(args))
      return morvik::RunFontCommand(args, start, std::cout, std::cerr);
    if (morvik::IsPictureCommand(args)) {
      morvik::StartReadingHeap(morvik::PlanReadingHeap(morvik::LargestPictureBytes(args),
                                                       morvik::LibraryHeapBytes(args)));
      // With no set named, pictures are read with the stock library, found as
      // Library::Stock() finds it; the places tried go into the message when it is not.
      const auto stock = [&] {
        const morvik::Library::StockLocation at =
            morvik::Library::LocateStock(morvik::ExecutableFolder(argv[0]));
        morvik::DefaultSets sets({}, at.Tried);
        if (!at.Path.empty()) sets.Names.push_back(at.Path);
        return sets;
      };
      return morvik::RunPictureCommand(args, stock, start, std::cout, std::cerr);
    }
    return morvik::RunCommandLine(args, morvik::FindHomeFolder(argv[0]), start, std::cout,
                                  std::cerr);
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
  return morvik::StartWindow(window, morvik::FindHomeFolder(argv[0]), std::cerr);
}
