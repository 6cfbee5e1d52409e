#include "session/home_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

std::string ExecutableFolder(const char* argv0) {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec && argv0) exe = fs::absolute(argv0, ec);
  return exe.parent_path().string();
}

std::string FindHomeFolder(const char* argv0) {
  if (const char* env = std::getenv("MORVIK_HOME"); env && *env) return env;
  return ExecutableFolder(argv0);
}

std::string CurrentProcessFolder() {
  std::error_code ec;
  const fs::path p = fs::current_path(ec);
  return ec ? std::string(".") : p.string();
}

}  // namespace morvik
