// Replacing a file without ever leaving it half-written: the data goes to a new file with a
// unique name beside it, which is synced and then renamed over the old name.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

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

  // For a ReplacementGroup, which renames the temporary itself: Finish syncs and closes it,
  // Temporary names it, and Renamed tells that it is gone from its name (nothing to remove).
  void Finish();
  const std::string& Temporary() const { return temp_; }
  void Renamed() { temp_.clear(); }

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

// Several files replaced as one, as the files of a set must be: every new file is written
// whole beside its final name before any is renamed into place, and when a rename fails the
// ones done are undone (each old file is kept aside under a hard link until all are in
// place), so the names hold all the old contents or all the new ones. Only a process killed
// mid-way leaves a mixture, and its temporaries. Links where a file goes are replaced, never
// followed. Destroying the group without Commit changes nothing.
class ReplacementGroup {
 public:
  using RenameFunction = int (*)(const char* from, const char* to);
  // rename is the system's; a test passes one that fails at a chosen step.
  explicit ReplacementGroup(RenameFunction rename = nullptr);
  ~ReplacementGroup();
  ReplacementGroup(const ReplacementGroup&) = delete;
  ReplacementGroup& operator=(const ReplacementGroup&) = delete;

  // Writes the new contents of path under a temporary name now; throws Error naming the file
  // (as ReplacementFile does) when it may not be replaced.
  void Replace(const std::string& path, const std::string& bytes);
  // Removes path, when there is an entry of that name, as part of the commit. Throws Error
  // naming it when it is a folder.
  void Remove(const std::string& path);
  // Renames every new file into place and removes what is to go; throws Error naming the
  // file that failed, after putting back every file it had already replaced or removed.
  void Commit();

 private:
  struct Step {
    std::string Path;
    std::unique_ptr<ReplacementFile> File;  // null for a removal
    std::string Aside;                      // the old file's second name while committing
    bool Done = false;
  };
  void Apply(Step& step);
  void Undo(Step& step);
  RenameFunction rename_;
  std::vector<Step> steps_;
};

// Writes data as the new contents of path through a ReplacementFile that writes through
// links. Returns false (with the old file untouched) when anything fails; never throws.
bool ReplaceFileContents(const std::string& path, const std::string& data);

// Writes data as the new contents of path, replacing a link found there rather than its
// target. Throws Error naming the file, with the system's reason, when that fails.
void WriteNewContents(const std::string& path, const std::string& data);

}  // namespace morvik
