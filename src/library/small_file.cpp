#include "library/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/file_names.h"

namespace morvik {

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes) {
  const std::string file = ResolveFileName(path);
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  if (!S_ISREG(st.st_mode)) throw FileError(file, "is not a regular file", ErrorKind::kCannotRead);
  // O_NONBLOCK: a FIFO swapped in meanwhile must not wait for a writer.
  const FileDescriptor in(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (in.Get() < 0) throw ReadError(file, "cannot be opened", errno);
  // Sized from the file's length, not the limit: sets open many small files. One byte more
  // than allowed tells a file at the limit from a larger one, also one that grew meanwhile.
  const std::size_t room = maxBytes + 1;
  std::string data(std::min(room, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) + 1),
                   '\0');
  std::size_t done = 0;
  for (;;) {
    if (done == data.size()) {
      if (data.size() == room) break;
      data.resize(std::min(room, 2 * data.size()));
    }
    const ssize_t n = ::read(in.Get(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ReadError(file, "cannot be read", errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  data.resize(done);
  if (data.size() > maxBytes)
    throw FileError(file, "is larger than " + std::to_string(maxBytes) + " bytes",
                    ErrorKind::kTooLarge);
  return data;
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    pos = end + 1;
  }
  return lines;
}

}  // namespace morvik
