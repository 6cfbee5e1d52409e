// Replacing a file without ever leaving it half-written: the data goes to a new file with a
// unique name beside it, which is synced and then renamed over the old name.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace morvik {

// What a replacement does with a symbolic link found where the file goes.
enum class LinkPolicy {
  kReplaceLink,   // the link itself gives way to the new file; its target is never touched
  kWriteThrough,  // the file the link names is replaced and the link stays; a link that names
                  // no file is refused
};

// A file written under a temporary name beside its final one, "<name>.morvik-tmp-<12 hex>",
// created exclusively (never a name another process could have chosen or planted). Commit
// syncs it and renames it into place, so every reader sees the old contents or the new ones,
// whole; a replaced file's permission bits are kept. Destroying it without a successful
// Commit removes the temporary and leaves the old file as it was. Only a process killed
// between creation and Commit leaves its temporary behind.
class ReplacementFile {
 public:
  // Throws Error (kCannotWrite, as every failure here) naming the file when it may not be
  // replaced: the name is taken by a folder,
  // a FIFO, a device or the like; the file is read-only (no write bit in its mode, which
  // holds for root too, or not writable by this user); or the temporary cannot be created.
  explicit ReplacementFile(const std::string& path, LinkPolicy links = LinkPolicy::kReplaceLink);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Throws Error naming the file when the bytes cannot be written.
  void Write(const char* data, std::size_t size);
  // Syncs, closes and renames into place; throws Error (the old file stays) when that fails.
  void Commit();
  // The name that is replaced (with kWriteThrough, the link's target).
  const std::string& Path() const { return path_; }

 private:
  // Checks what path names (following a link with kWriteThrough); true when an existing
  // file is replaced, whose mode st then holds.
  bool CheckTarget(LinkPolicy links, struct stat& st);
  void CreateTemporary();
  void TakeOverMode(const struct stat& st);
  [[noreturn]] void Fail(const std::string& what, int error) const;
  void Discard();
  std::string path_, temp_;
  int fd_ = -1;
};

// Writes data as the new contents of path through a ReplacementFile. Throws Error
// (kCannotWrite) naming the file, with the system's reason where there is one.
void WriteFileWhole(const std::string& path, const std::string& data,
                    LinkPolicy links = LinkPolicy::kWriteThrough);

// The same, writing through links. Returns false (with the old file untouched) when anything fails;
// never throws.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace morvik
