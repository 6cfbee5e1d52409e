// An 8-bit text file written with every operation checked: a failure throws Error naming
// the file. The file is replaced whole on Close, or not at all.
#pragma once

#include <cstddef>
#include <string>

#include "core/regular_file.h"  // ReadWholeFile
#include "core/safe_write.h"

namespace morvik {

constexpr const char* kLineEnd = "\r\n";

class TextFile {
 public:
  // Starts the new contents of path (an existing file whose name differs only in case is
  // the one replaced when no file has the exact name). The text goes to a temporary beside
  // it until Close; a link at path is replaced, never written through. Throws Error naming
  // the file when it is a folder or other non-file, is read-only, or cannot be created.
  explicit TextFile(const std::string& path);
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void Write(const std::string& text);
  void EndLine() { Write(kLineEnd); }
  // Writes out, syncs and renames the file into place; throws when that fails. A TextFile
  // destroyed without Close (after an error) leaves the old file as it was.
  void Close();
  const std::string& Path() const { return file_.Path(); }

 private:
  void Flush();
  ReplacementFile file_;
  std::string buffer_;
  bool closed_ = false;
};

// Closes both files of a run's pair (result.txt and result.out) under the lock of the folder
// they lie in (FolderLock), so that runs writing the same folder at once leave both files
// from one run. Throws as Close, or when the folder cannot be locked.
void ClosePair(TextFile& first, TextFile& second, const std::string& folder);

}  // namespace morvik
