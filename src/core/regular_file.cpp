#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/file_descriptor.h"

namespace morvik {

namespace {

// Opens path for reading if it is a regular file; otherwise returns -1 with the problem.
int OpenRegular(const std::string& path, std::string& problem, off_t& size) {
  // O_NONBLOCK makes the open of a FIFO without a writer return at once; for a regular
  // file it changes nothing.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    problem = std::string("cannot be read (") + std::strerror(errno) + ")";
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    problem = S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file";
    close(fd);
    return -1;
  }
  size = st.st_size;
  return fd;
}

// Reads until the end of the file or until out holds limit bytes; false on a read error.
bool ReadUpTo(int fd, std::size_t limit, std::string& out, int& error) {
  char buffer[65536];
  while (out.size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - out.size());
    const ssize_t n = read(fd, buffer, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      return false;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  std::string problem;
  off_t size = 0;
  FileDescriptor fd(OpenRegular(path, problem, size));
  if (fd.Get() < 0) throw FileError(path, problem);
  const std::string tooLarge = "is too large (more than " + std::to_string(maxBytes) + " bytes)";
  if (static_cast<unsigned long long>(size) > maxBytes) throw FileError(path, tooLarge);
  std::string text;
  text.reserve(static_cast<std::size_t>(size));
  int error = 0;
  // One byte past the cap tells a file that grew since fstat.
  if (!ReadUpTo(fd.Get(), maxBytes + 1, text, error))
    throw FileError(path, std::string("cannot be read (") + std::strerror(error) + ")");
  if (text.size() > maxBytes) throw FileError(path, tooLarge);
  return text;
}

bool ReadRegularFilePrefix(const std::string& path, std::size_t maxBytes, std::string& out) {
  out.clear();
  std::string problem;
  off_t size = 0;
  FileDescriptor fd(OpenRegular(path, problem, size));
  if (fd.Get() < 0) return false;
  int error = 0;
  return ReadUpTo(fd.Get(), maxBytes, out, error);
}

std::string RegularFileProblem(const std::string& path) {
  std::string problem;
  off_t size = 0;
  FileDescriptor fd(OpenRegular(path, problem, size));
  return problem;
}

}  // namespace morvik
