#include "runs/text_file.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include "core/error.h"
#include "core/file_names.h"

namespace morvik {

TextFile::TextFile(const std::string& path) : path_(ResolveFileName(path)) {
  errno = 0;
  out_.open(path_, std::ios::binary | std::ios::trunc);
  if (!out_) Fail("cannot be created");
}

void TextFile::Fail(const char* what) const {
  std::string message = what;
  if (errno != 0) message += std::string(" (") + std::strerror(errno) + ")";
  throw FileError(path_, message);
}

// errno is cleared before each call, so a failure names its own cause and never one left
// over from an earlier call.
void TextFile::Write(const std::string& text) {
  errno = 0;
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out_) Fail("cannot be written");
}

void TextFile::Close() {
  if (!out_.is_open()) return;
  errno = 0;
  out_.flush();
  const bool ok = static_cast<bool>(out_);
  if (ok) errno = 0;
  out_.close();
  if (!ok || !out_) Fail("cannot be written");
}

std::string ReadWholeFile(const std::string& path) {
  const std::string name = ResolveFileName(path);
  std::ifstream in(name, std::ios::binary);
  if (!in) throw FileError(name, "cannot be read");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError(name, "cannot be read");
  return text;
}

}  // namespace morvik
