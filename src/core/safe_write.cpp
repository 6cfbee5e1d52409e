#include "core/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/error.h"

namespace morvik {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Twelve random hex digits from the system's entropy source.
std::string RandomSuffix() {
  static const char kHex[] = "0123456789abcdef";
  std::random_device device;
  std::string s;
  for (int k = 0; k < 3; ++k) {
    unsigned v = device();
    for (int d = 0; d < 4; ++d, v >>= 4) s += kHex[v & 15];
  }
  return s;
}

// "<folder>/<name>.morvik-tmp-<hex>"; a long name is cut so that the whole fits NAME_MAX.
std::string TemporaryName(const std::string& path) {
  const std::string folder = FolderOf(path);
  std::string name = NameOf(path).substr(0, 200);
  return (folder == "/" ? "/" : folder + "/") + name + ".morvik-tmp-" + RandomSuffix();
}

bool IsReadOnly(const std::string& path, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return true;
  return access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM || errno == EROFS);
}

// The folder entry of path reaches the disk too, so that a crash after Commit keeps the new
// file. Failing here changes nothing the user can see, so it is not reported.
void SyncFolder(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& path, LinkPolicy links) : path_(path) {
  struct stat st {};
  const bool replacesFile = CheckTarget(links, st);
  CreateTemporary();
  if (replacesFile) TakeOverMode(st);
}

bool ReplacementFile::CheckTarget(LinkPolicy links, struct stat& st) {
  if (path_.empty() || path_.back() == '/') Fail("is a folder, not a file", 0);
  if (lstat(path_.c_str(), &st) != 0) {
    if (errno != ENOENT) Fail("cannot be created", errno);
    return false;
  }
  if (S_ISLNK(st.st_mode)) {
    if (links == LinkPolicy::kReplaceLink) return false;
    char* real = realpath(path_.c_str(), nullptr);
    if (!real) Fail("is a link to no file", errno);
    path_ = real;
    std::free(real);
    if (lstat(path_.c_str(), &st) != 0) Fail("is a link to no file", errno);
  }
  if (S_ISDIR(st.st_mode)) Fail("is a folder, not a file", 0);
  if (!S_ISREG(st.st_mode)) Fail("is not a regular file", 0);
  if (IsReadOnly(path_, st)) Fail("is read-only", 0);
  return true;
}

void ReplacementFile::CreateTemporary() {
  for (int attempt = 0; fd_ < 0; ++attempt) {
    temp_ = TemporaryName(path_);
    fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt >= 100)) {
      const int error = errno;
      temp_.clear();
      Fail("cannot be created", error);
    }
  }
}

// The new file takes the old one's permissions and, where allowed, its owner (otherwise it
// becomes the user's own, as any new file would).
void ReplacementFile::TakeOverMode(const struct stat& st) {
  if (fchmod(fd_, st.st_mode & 07777) != 0) {
    const int error = errno;
    Discard();  // no destructor runs for a constructor that throws
    Fail("cannot be created", error);
  }
  if (st.st_uid != geteuid() || st.st_gid != getegid()) {
    const int ignored = fchown(fd_, st.st_uid, st.st_gid);
    static_cast<void>(ignored);
  }
}

ReplacementFile::~ReplacementFile() {
  Discard();
}

void ReplacementFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

void ReplacementFile::Fail(const std::string& what, int error) const {
  throw WriteError(path_, what, error);
}

void ReplacementFile::Write(const char* data, std::size_t size) {
  if (fd_ < 0) Fail("cannot be written", EBADF);
  while (size > 0) {
    const ssize_t n = write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("cannot be written", n < 0 ? errno : EIO);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void ReplacementFile::Commit() {
  if (fd_ < 0) Fail("cannot be written", EBADF);
  if (fsync(fd_) != 0) Fail("cannot be written", errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) Fail("cannot be written", errno);
  if (rename(temp_.c_str(), path_.c_str()) != 0) Fail("cannot be replaced", errno);
  temp_.clear();
  SyncFolder(path_);
}

void WriteFileWhole(const std::string& path, const std::string& data, LinkPolicy links) {
  ReplacementFile file(path, links);
  file.Write(data.data(), data.size());
  file.Commit();
}

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  try {
    WriteFileWhole(path, data);
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace morvik
