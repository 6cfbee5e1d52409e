#include "image/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "image/picture_limits.h"

namespace morvik {
namespace {

int OpenForReading(const std::string& path) {
  // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd >= 0) return fd;
  if (errno == ENAMETOOLONG) throw FileError(path, "path too long", ErrorKind::kCannotRead);
  throw FileError(path, "cannot open file",
                  errno == ENOENT ? ErrorKind::kNotFound : ErrorKind::kCannotRead);
}

std::size_t RegularFileSize(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw FileError(path, "cannot read file", ErrorKind::kCannotRead);
  if (S_ISDIR(st.st_mode)) throw FileError(path, "is a folder, not a file", ErrorKind::kCannotRead);
  if (!S_ISREG(st.st_mode)) throw FileError(path, "not a regular file", ErrorKind::kCannotRead);
  if (st.st_size > kMaxPictureFileBytes)
    throw FileError(path,
                    "file too large for a picture (" + std::to_string(st.st_size) +
                        " bytes; at most " + std::to_string(kMaxPictureFileBytes >> 20) + " MiB)",
                    ErrorKind::kTooLarge);
  return static_cast<std::size_t>(st.st_size);
}

}  // namespace

std::vector<std::uint8_t> ReadPictureBytes(const std::string& path) {
  const FileDescriptor file(OpenForReading(path));
  std::vector<std::uint8_t> bytes(RegularFileSize(file.Get(), path));
  // A file that shrinks meanwhile gives what is left; one that grows, its stated size.
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError(path, "cannot read file", ErrorKind::kCannotRead);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace morvik
