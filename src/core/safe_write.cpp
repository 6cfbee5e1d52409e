#include "core/safe_write.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace morvik {

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  std::error_code ec;
  std::string target = path;
  if (fs::is_symlink(path, ec)) {
    const fs::path real = fs::weakly_canonical(path, ec);
    if (!ec) target = real.string();
  }
  const bool exists = fs::exists(target, ec);
  if (exists && access(target.c_str(), W_OK) != 0) return false;
  const std::string temp = target + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (exists) fs::permissions(temp, fs::status(target, ec).permissions(), ec);
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace morvik
