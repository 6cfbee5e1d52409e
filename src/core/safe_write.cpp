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

// "<folder>/<name>.morvik-<tag>-<hex>"; a long name is cut so that the whole fits NAME_MAX.
std::string TemporaryName(const std::string& path, const char* tag = "tmp") {
  const std::string folder = FolderOf(path);
  std::string name = NameOf(path).substr(0, 200);
  return (folder == "/" ? "/" : folder + "/") + name + ".morvik-" + tag + "-" + RandomSuffix();
}

// A second name for the file (or link) at path, so that it can be put back after path has
// been replaced; "" with errno when that cannot be made. A folder without hard links gets the
// entry moved to that name instead, which leaves path free for a moment.
std::string SetAside(const std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string aside = TemporaryName(path, "old");
    if (linkat(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), 0) == 0) return aside;
    if (errno == EEXIST) continue;
    if (rename(path.c_str(), aside.c_str()) == 0) return aside;
    return "";
  }
  return "";
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

void ReplacementFile::Finish() {
  if (fd_ < 0) Fail("cannot be written", EBADF);
  if (fsync(fd_) != 0) Fail("cannot be written", errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) Fail("cannot be written", errno);
}

void ReplacementFile::Commit() {
  Finish();
  if (rename(temp_.c_str(), path_.c_str()) != 0) Fail("cannot be replaced", errno);
  temp_.clear();
  SyncFolder(path_);
}

namespace {

void WriteWhole(const std::string& path, const std::string& data, LinkPolicy links) {
  ReplacementFile file(path, links);
  file.Write(data.data(), data.size());
  file.Commit();
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  try {
    WriteWhole(path, data, LinkPolicy::kWriteThrough);
    return true;
  } catch (const Error&) {
    return false;
  }
}

void WriteNewContents(const std::string& path, const std::string& data) {
  WriteWhole(path, data, LinkPolicy::kReplaceLink);
}

ReplacementGroup::ReplacementGroup(RenameFunction rename) : rename_(rename ? rename : &::rename) {}

ReplacementGroup::~ReplacementGroup() = default;

void ReplacementGroup::Replace(const std::string& path, const std::string& bytes) {
  auto file = std::make_unique<ReplacementFile>(path, LinkPolicy::kReplaceLink);
  file->Write(bytes.data(), bytes.size());
  file->Finish();
  steps_.push_back(Step{path, std::move(file), "", false});
}

void ReplacementGroup::Remove(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    throw FileError(path, "is a folder, not a file", ErrorKind::kCannotWrite);
  steps_.push_back(Step{path, nullptr, "", false});
}

void ReplacementGroup::Commit() {
  for (std::size_t k = 0; k < steps_.size(); ++k) {
    try {
      Apply(steps_[k]);
    } catch (const Error&) {
      for (std::size_t j = k + 1; j-- > 0;) Undo(steps_[j]);
      steps_.clear();  // the temporaries not renamed go too
      throw;
    }
  }
  for (Step& step : steps_) {
    if (!step.Aside.empty()) unlink(step.Aside.c_str());
    SyncFolder(step.Path);
  }
  steps_.clear();
}

void ReplacementGroup::Apply(Step& step) {
  const auto fail = [&](const char* what, int error) {
    throw FileError(step.Path, std::string(what) + " (" + std::strerror(error) + ")",
                    ErrorKind::kCannotWrite);
  };
  struct stat st {};
  if (lstat(step.Path.c_str(), &st) == 0) {
    step.Aside = SetAside(step.Path);
    if (step.Aside.empty()) fail("cannot be replaced", errno);
  } else if (errno != ENOENT) {
    fail("cannot be replaced", errno);
  } else if (!step.File) {
    return;  // nothing to remove
  }
  if (step.File) {
    if (rename_(step.File->Temporary().c_str(), step.Path.c_str()) != 0)
      fail("cannot be replaced", errno);
    step.File->Renamed();
  } else if (unlink(step.Path.c_str()) != 0 && errno != ENOENT) {
    fail("cannot be removed", errno);
  }
  step.Done = true;
}

// Puts the old file back (or takes away a file that was new). When the old file's second
// name is still a link to the file at path, rename does nothing and the extra name goes.
void ReplacementGroup::Undo(Step& step) {
  if (!step.Aside.empty()) {
    if (rename(step.Aside.c_str(), step.Path.c_str()) == 0) unlink(step.Aside.c_str());
    step.Aside.clear();
  } else if (step.Done && step.File) {
    unlink(step.Path.c_str());
  }
  step.Done = false;
}

}  // namespace morvik
