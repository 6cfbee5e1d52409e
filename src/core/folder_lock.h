// An advisory lock on a folder, so that runs writing the same set of files into it take
// turns and each leaves a set from one run, never a mixture of two.
#pragma once

#include <string>

namespace morvik {

// Holds an exclusive flock on the folder's own descriptor while it lives, waiting first for
// another process (or another FolderLock of this one) to let go. Only programs that take the
// lock are kept out; it does not stop anyone else from writing.
class FolderLock {
 public:
  // Throws Error naming the folder (kCannotWrite) when it cannot be opened or locked.
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace morvik
