// Running the built program as a user would: in its own process, in a given folder, with its
// own home folder and no display, capturing what it prints and how it ends.
#pragma once

#include <string>
#include <vector>

namespace morvik::test {

struct RunResult {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out, err;
};

struct RunSetup {
  std::string cwd;          // the folder it starts in
  std::string home;         // MORVIK_HOME
  std::string input;        // standard input from this file; /dev/null when empty
  bool noPlatform = false;  // leave QT_QPA_PLATFORM unset (no display of any kind)
  std::string display;      // DISPLAY; unset when empty
  std::string program;      // the program to run; the built morvik when empty
};

// In a forked child: the folder, the environment and the given descriptors for standard
// input, output and error, then the program. Never returns.
[[noreturn]] void ExecMorvik(const std::vector<std::string>& args, const RunSetup& setup, int in,
                             int out, int err);

// Runs the program to its end.
RunResult RunMorvik(const std::vector<std::string>& args, const RunSetup& setup);

// Starts one process per argument list at once and waits for all of them, for tests of runs
// that write the same files at the same time.
std::vector<RunResult> RunMorvikAtOnce(const std::vector<std::vector<std::string>>& runs,
                                       const RunSetup& setup);

}  // namespace morvik::test
