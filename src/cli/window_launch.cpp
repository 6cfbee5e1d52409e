#include "cli/window_launch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DisplayAvailable() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

std::string FindWindowProgram() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const fs::path dir = exe.parent_path();
  for (const fs::path& candidate :
       {dir / "morvik-window", dir / ".." / "libexec" / "morvik" / "morvik-window",
        dir / ".." / "libexec" / "morvik-window", dir / ".." / "bin" / "morvik-window"}) {
    std::error_code e;
    if (fs::is_regular_file(candidate, e) && access(candidate.c_str(), X_OK) == 0)
      return candidate.lexically_normal().string();
  }
  return {};
}

int StartWindow(const std::string& program, const std::string& home, std::ostream& err) {
  setenv("MORVIK_HOME", home.c_str(), 0);  // the window's home is this program's home
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  execv(program.c_str(), argv);
  err << "morvik: " << program << ": cannot be started (" << std::strerror(errno) << ")\n";
  return 1;
}

}  // namespace morvik
