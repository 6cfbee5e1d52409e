// Reading the small text files that travel with reference sets: whole, within a size limit,
// and only when they are regular files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace morvik {

// The largest map or settings file a set may carry; larger ones are refused.
constexpr std::size_t kMaxSetFileBytes = 64 * 1024;

// The bytes of the file at path, whose name is matched without regard to case as set files
// are. No value when nothing of that name exists. Throws Error naming the file when it is
// not a regular file, is larger than maxBytes, or cannot be read.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes);

// The lines of a small text file without their ends (LF or CR LF), line n at n - 1; a last
// line without an end counts, an empty text has none.
std::vector<std::string> TextLines(const std::string& text);

}  // namespace morvik
