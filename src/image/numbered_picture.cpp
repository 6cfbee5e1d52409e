#include "image/numbered_picture.h"

#include <sys/stat.h>

namespace morvik {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string WithoutExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
  return name.substr(0, dot);
}

}  // namespace

std::string FindNumberedPicture(const std::string& bmpName) {
  if (IsRegularFile(bmpName)) return bmpName;
  const std::string stem = WithoutExtension(bmpName);
  for (const char* ext : {".png", ".pgm", ".ppm", ".pbm"})
    if (IsRegularFile(stem + ext)) return stem + ext;
  return "";
}

}  // namespace morvik
