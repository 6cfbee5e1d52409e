// The one exception type of the engine: an operation that cannot go on is abandoned with a
// message a user understands, naming the file and the problem.
#pragma once

#include <stdexcept>
#include <string>

namespace morvik {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "<file>: <problem>", the form every file-related message takes.
inline Error FileError(const std::string& file, const std::string& problem) {
  return Error(file + ": " + problem);
}

}  // namespace morvik
