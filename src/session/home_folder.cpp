#include "session/home_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

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
