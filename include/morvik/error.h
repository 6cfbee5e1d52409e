// The one exception type of the engine: an operation that cannot go on is abandoned with a
// message a user understands, naming the file and the problem, and a kind that tells a
// program what went wrong without parsing the sentence.
#pragma once

#include <stdexcept>
#include <string>

namespace morvik {

enum class ErrorKind {
  kNotFound,     // a file or folder that is not there
  kCannotRead,   // there, but it cannot be opened or read (permissions, a folder, a FIFO)
  kBadData,      // read, but not what it claims to be (a damaged picture, set or map)
  kCannotWrite,  // an output that cannot be written, or may not be replaced
  kUsage,        // a call that cannot run as made: a bad option, value or combination
  kTooLarge,     // beyond a documented limit (picture size, characters per picture)
  kFailed,       // the work could not be done for another reason (nothing found, no memory)
};

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, ErrorKind kind = ErrorKind::kFailed)
      : std::runtime_error(message), kind_(kind) {}
  // "<file>: <problem>", the form every file-related message takes.
  Error(ErrorKind kind, const std::string& file, const std::string& problem)
      : std::runtime_error(file.empty() ? problem : file + ": " + problem),
        kind_(kind),
        file_(file) {}

  ErrorKind Kind() const { return kind_; }
  // The file or folder the failure concerns; empty where there is none.
  const std::string& File() const { return file_; }

 private:
  ErrorKind kind_;
  std::string file_;
};

inline Error FileError(const std::string& file, const std::string& problem,
                       ErrorKind kind = ErrorKind::kFailed) {
  return Error(kind, file, problem);
}

}  // namespace morvik
