#include "runs/text_file.h"

#include "core/error.h"
#include "core/file_names.h"
#include "core/folder_lock.h"

namespace morvik {

namespace {
constexpr std::size_t kBufferBytes = 1 << 16;
}

TextFile::TextFile(const std::string& path) : file_(ResolveFileName(path)) {}

void TextFile::Flush() {
  file_.Write(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void TextFile::Write(const std::string& text) {
  if (closed_) throw FileError(Path(), "cannot be written (already closed)");
  buffer_ += text;
  if (buffer_.size() >= kBufferBytes) Flush();
}

void TextFile::Close() {
  if (closed_) return;
  closed_ = true;
  Flush();
  file_.Commit();
}

void ClosePair(TextFile& first, TextFile& second, const std::string& folder) {
  const FolderLock lock(folder);
  first.Close();
  second.Close();
}

}  // namespace morvik
