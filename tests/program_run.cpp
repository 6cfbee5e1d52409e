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

RunResult RunMorvik(const std::vector<std::string>& args, const RunSetup& setup) {
  TempDir capture;
  const std::string outFile = capture.File("out"), errFile = capture.File("err");
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(setup.input.empty() ? "/dev/null" : setup.input.c_str(), O_RDONLY);
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ExecMorvik(args, setup, in, out, err);
  }
  RunResult r;
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadFile(outFile);
  r.err = ReadFile(errFile);
  return r;
}

}  // namespace morvik::test
