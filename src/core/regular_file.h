// Reading inputs that must be regular files: each is opened without blocking (a FIFO or a
// device named like an input never hangs the program) and checked on the opened descriptor,
// so the file checked is the file read.
#pragma once

#include <cstddef>
#include <string>

namespace morvik {

// The most a text input of the runs (compare.txt, charmap.txt) may hold: far more than any
// real map or expected text, small enough that a huge or sparse file costs no real memory.
constexpr std::size_t kMaxTextInputBytes = 1 << 20;

// The whole file. Throws Error naming the file when it cannot be opened or read, is not a
// regular file, or holds more than maxBytes bytes.
std::string ReadRegularFile(const std::string& path, std::size_t maxBytes);

// At most maxBytes from the start of the file into out; a longer file is cut there. False
// when the file cannot be opened or read or is not a regular file; out then holds what was
// read before a read failure. Never throws.
bool ReadRegularFilePrefix(const std::string& path, std::size_t maxBytes, std::string& out);

// Why path cannot be opened for reading as a regular file: "cannot be read (<reason>)", "is
// a folder, not a file" or "is not a regular file"; empty when it can. Never blocks.
std::string RegularFileProblem(const std::string& path);

// The whole file as bytes, found by name without regard to case (ResolveFileName); throws
// Error naming the file when it cannot be read, is not a regular file or exceeds maxBytes.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes = kMaxTextInputBytes);

}  // namespace morvik
