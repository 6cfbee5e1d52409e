#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/error.h"

namespace morvik {

FolderLock::FolderLock(const std::string& folder) {
  fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0)
    throw FileError(folder, std::string("cannot be locked (") + std::strerror(errno) + ")",
                    ErrorKind::kCannotWrite);
  while (flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int error = errno;
    close(fd_);
    throw FileError(folder, std::string("cannot be locked (") + std::strerror(error) + ")",
                    ErrorKind::kCannotWrite);
  }
}

FolderLock::~FolderLock() {
  close(fd_);  // closing the last descriptor of the open file lets the lock go
}

}  // namespace morvik
