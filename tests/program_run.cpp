#include "program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "test_util.h"

namespace morvik::test {

void ExecMorvik(const std::vector<std::string>& args, const RunSetup& setup, int in, int out,
                int err) {
  if (chdir(setup.cwd.c_str()) != 0) _exit(126);
  setenv("MORVIK_HOME", setup.home.c_str(), 1);
  if (setup.display.empty())
    unsetenv("DISPLAY");
  else
    setenv("DISPLAY", setup.display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  if (setup.noPlatform)
    unsetenv("QT_QPA_PLATFORM");
  else
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  dup2(in, 0);
  dup2(out, 1);
  dup2(err, 2);
  const std::string program = setup.program.empty() ? MORVIK_BINARY : setup.program;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

namespace {

// A child running the program with its output and errors in files of `capture`.
pid_t StartMorvik(const std::vector<std::string>& args, const RunSetup& setup,
                  const TempDir& capture, std::size_t k) {
  const std::string outFile = capture.File("out" + std::to_string(k));
  const std::string errFile = capture.File("err" + std::to_string(k));
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(setup.input.empty() ? "/dev/null" : setup.input.c_str(), O_RDONLY);
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ExecMorvik(args, setup, in, out, err);
  }
  return pid;
}

RunResult Finish(pid_t pid, const TempDir& capture, std::size_t k) {
  RunResult r;
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadFile(capture.File("out" + std::to_string(k)));
  r.err = ReadFile(capture.File("err" + std::to_string(k)));
  return r;
}

}  // namespace

RunResult RunMorvik(const std::vector<std::string>& args, const RunSetup& setup) {
  return RunMorvikAtOnce({args}, setup).front();
}

std::vector<RunResult> RunMorvikAtOnce(const std::vector<std::vector<std::string>>& runs,
                                       const RunSetup& setup) {
  TempDir capture;
  std::vector<pid_t> pids;
  for (std::size_t k = 0; k < runs.size(); ++k)
    pids.push_back(StartMorvik(runs[k], setup, capture, k));
  std::vector<RunResult> results;
  for (std::size_t k = 0; k < runs.size(); ++k) results.push_back(Finish(pids[k], capture, k));
  return results;
}

}  // namespace morvik::test
