#include "core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/file_names.h"

namespace morvik {

namespace {

// Opens path for reading if it is a regular file; otherwise returns -1 with the problem.
int OpenRegular(const std::string& path, std::string& problem, off_t& size, int& error) {
  // O_NONBLOCK makes the open of a FIFO without a writer return at once; for a regular
  // file it changes nothing.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = errno;
    problem = WithReason("cannot be read", error);
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
// Straight into out where it has room (a caller that knew the size reserved it); a small
// buffer takes what lies past that, most often nothing but the end of the file. A buffer on
// the stack as large as the file would be pages faulted in and copied for nothing.
bool ReadUpTo(int fd, std::size_t limit, std::string& out, int& error) {
  char spill[4096];
  while (out.size() < limit) {
    const std::size_t had = out.size(), room = out.capacity() - had;
    const bool direct = room >= sizeof spill;
    const std::size_t want = std::min(direct ? room : sizeof spill, limit - had);
    if (direct) out.resize(had + want);
    const ssize_t n = read(fd, direct ? &out[had] : spill, want);
    const int readError = errno;
    if (direct) out.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0 && readError == EINTR) continue;
    if (n < 0) {
      error = readError;
      return false;
    }
    if (n == 0) break;
    if (!direct) out.append(spill, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  std::string problem;
  off_t size = 0;
  int error = 0;
  FileDescriptor fd(OpenRegular(path, problem, size, error));
  if (fd.Get() < 0)
    throw FileError(path, problem, error == ENOENT ? ErrorKind::kNotFound : ErrorKind::kCannotRead);
  const Error tooLarge =
      FileError(path, "is too large (more than " + std::to_string(maxBytes) + " bytes)",
                ErrorKind::kTooLarge);
  if (static_cast<unsigned long long>(size) > maxBytes) throw tooLarge;
  std::string text;
  text.reserve(static_cast<std::size_t>(size));
  // One byte past the cap tells a file that grew since fstat.
  if (!ReadUpTo(fd.Get(), maxBytes + 1, text, error))
    throw ReadError(path, "cannot be read", error);
  if (text.size() > maxBytes) throw tooLarge;
  return text;
}

bool ReadRegularFilePrefix(const std::string& path, std::size_t maxBytes, std::string& out) {
  out.clear();
  std::string problem;
  off_t size = 0;
  int error = 0;
  FileDescriptor fd(OpenRegular(path, problem, size, error));
  if (fd.Get() < 0) return false;
  out.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(size, 0)), maxBytes));
  return ReadUpTo(fd.Get(), maxBytes, out, error);
}

std::string RegularFileProblem(const std::string& path) {
  std::string problem;
  off_t size = 0;
  int error = 0;
  FileDescriptor fd(OpenRegular(path, problem, size, error));
  return problem;
}

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  return ReadRegularFile(ResolveFileName(path), maxBytes);
}

}  // namespace morvik
