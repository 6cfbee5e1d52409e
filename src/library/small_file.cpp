#include "library/small_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/error.h"
#include "core/file_names.h"

namespace fs = std::filesystem;

namespace morvik {

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes) {
  const std::string file = ResolveFileName(path);
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (!fs::exists(status)) return std::nullopt;
  if (!fs::is_regular_file(status)) throw FileError(file, "is not a regular file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw FileError(file, "cannot be opened");
  // One byte more than allowed tells a file at the limit from a larger one.
  std::string data(maxBytes + 1, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  if (in.bad()) throw FileError(file, "cannot be read");
  data.resize(static_cast<std::size_t>(in.gcount()));
  if (data.size() > maxBytes)
    throw FileError(file, "is larger than " + std::to_string(maxBytes) + " bytes");
  return data;
}

void RemoveFileIfPresent(const std::string& path) {
  const std::string file = ResolveFileName(path);
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(file, ec))) return;
  if (!fs::remove(file, ec) && ec) throw FileError(file, "cannot be removed: " + ec.message());
}

}  // namespace morvik
