// Shared test helpers: a temporary folder that cleans up after itself, small file helpers
// and a writer for BMP files of the common kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/pattern.h"
#include "image/bitmap.h"

namespace morvik::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Level of a marked cell per picture character: '1' 10, '2' 25, '5' 50, '7' 75, '#' 100;
// anything else is an empty cell.
std::uint8_t LevelOf(char ch);
// A pattern drawn as text, row 1 first; MaxLevel set, counts left at 16.
TPattern Picture(const std::vector<std::string>& rows);

// While it lives, no file of this process may grow past `bytes` (RLIMIT_FSIZE): writes
// beyond fail with EFBIG, even as root, like a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(unsigned long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  unsigned long oldSoft_;
  void (*oldHandler_)(int);
};

// The names in folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A 24-bit bottom-up BMP of the bitmap.
std::string EncodeBmp24(const Bitmap& bitmap);
// An 8-bit BMP with a 256-entry grey palette; pixels are taken as their red channel.
std::string EncodeBmp8Grey(const Bitmap& bitmap);
void WriteBmp24(const std::string& path, const Bitmap& bitmap);
void WriteBmp8Grey(const std::string& path, const Bitmap& bitmap);

// The largest resident size the process has had, in KiB: what a step allocated at most.
long PeakKilobytes();

}  // namespace morvik::test
