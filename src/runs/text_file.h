// An 8-bit text file written with every operation checked: a failure throws Error naming
// the file, and what was written before it stays in the file.
#pragma once

#include <fstream>
#include <string>

namespace morvik {

constexpr const char* kLineEnd = "\r\n";

class TextFile {
 public:
  // Creates (or truncates) the file; an existing file whose name differs only in case is
  // the one rewritten.
  explicit TextFile(const std::string& path);
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void Write(const std::string& text);
  void EndLine() { Write(kLineEnd); }
  // Flushes and closes; throws when the data could not be written.
  void Close();
  const std::string& Path() const { return path_; }

 private:
  [[noreturn]] void Fail(const char* what) const;
  std::string path_;
  std::ofstream out_;
};

// The whole file as bytes; throws Error naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace morvik
