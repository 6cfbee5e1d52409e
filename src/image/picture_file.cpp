#include "image/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
  throw ReadError(path, "cannot open file", errno);
}

std::size_t RegularFileSize(int fd, const std::string& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw ReadError(path, "cannot read file", errno);
  if (S_ISDIR(st.st_mode)) throw FileError(path, "is a folder, not a file", ErrorKind::kCannotRead);
  if (!S_ISREG(st.st_mode)) throw FileError(path, "not a regular file", ErrorKind::kCannotRead);
  if (st.st_size > kMaxPictureFileBytes)
    throw FileError(path,
                    "file too large for a picture (" + std::to_string(st.st_size) +
                        " bytes; at most " + std::to_string(kMaxPictureFileBytes >> 20) + " MiB)",
                    ErrorKind::kTooLarge);
  return static_cast<std::size_t>(st.st_size);
}

// Reads into data[0, size) until it is full or the file ends; the count read.
std::size_t ReadFully(int fd, std::uint8_t* data, std::size_t size, const std::string& name) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ReadError(name, "cannot read file", errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

std::vector<std::uint8_t> ReadPictureBytes(const std::string& path, StartCheck check) {
  const FileDescriptor file(OpenForReading(path));
  const std::size_t size = RegularFileSize(file.Get(), path);
  // The first bytes are checked before the whole file's buffer is even made.
  std::uint8_t start[kStartBytes];
  std::size_t done = ReadFully(file.Get(), start, std::min(size, kStartBytes), path);
  if (check) check(start, done, path);
  std::vector<std::uint8_t> bytes(start, start + done);
  // A file that shrinks meanwhile gives what is left; one that grows, its stated size.
  if (done == std::min(size, kStartBytes)) {
    bytes.resize(size);
    done += ReadFully(file.Get(), bytes.data() + done, size - done, path);
  }
  bytes.resize(done);
  return bytes;
}

std::vector<std::uint8_t> ReadPictureStream(int fd, const std::string& name, std::int64_t maxBytes,
                                            StartCheck check) {
  const auto cap = static_cast<std::size_t>(std::max<std::int64_t>(maxBytes, 0));
  std::vector<std::uint8_t> start(kStartBytes);
  start.resize(ReadFully(fd, start.data(), kStartBytes, name));
  if (check) check(start.data(), start.size(), name);
  // Blocks of a fixed size, joined once the stream has ended: the stream is held at most
  // once (and one byte past the cap, which tells an over-long stream), never in a buffer
  // that doubles and copies.
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::vector<std::vector<std::uint8_t>> blocks;
  std::size_t total = start.size();
  bool ended = start.size() < kStartBytes;
  while (!ended && total <= cap) {
    std::vector<std::uint8_t>& block = blocks.emplace_back(kBlock);
    block.resize(ReadFully(fd, block.data(), std::min(kBlock, cap + 1 - total), name));
    total += block.size();
    ended = block.empty();
  }
  if (total > cap)
    throw FileError(name,
                    "larger than any picture this program reads (at most " +
                        std::to_string(cap >> 20) + " MiB)",
                    ErrorKind::kTooLarge);
  std::vector<std::uint8_t> bytes = std::move(start);
  bytes.reserve(total);
  for (std::vector<std::uint8_t>& block : blocks) {
    bytes.insert(bytes.end(), block.begin(), block.end());
    std::vector<std::uint8_t>().swap(block);
  }
  return bytes;
}

}  // namespace morvik
