// The engine's error channel: the public Error type, the one helper that puts the file name
// in front of a problem found while working on that file, and errors that carry the system's
// reason for a failed open, read or write.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "morvik/error.h"

namespace morvik {

// Runs f; an Error it throws comes out again as FileError(file, its message), of its kind.
template <typename F>
decltype(auto) WithFileName(const std::string& file, F&& f) {
  try {
    return std::forward<F>(f)();
  } catch (const Error& e) {
    throw FileError(file, e.what(), e.Kind());
  }
}

// "<file>: <problem> (<the system's reason for error>)"; without a reason (error 0) the
// problem alone.
inline std::string WithReason(const std::string& problem, int error) {
  return error == 0 ? problem : problem + " (" + std::strerror(error) + ")";
}

// An input that could not be opened or read: kNotFound where it is not there (ENOENT, also
// a folder on its path missing), else kCannotRead.
inline Error ReadError(const std::string& file, const std::string& problem, int error) {
  return FileError(file, WithReason(problem, error),
                   error == ENOENT ? ErrorKind::kNotFound : ErrorKind::kCannotRead);
}

// An output that could not be created, written or put in place.
inline Error WriteError(const std::string& file, const std::string& problem, int error) {
  return FileError(file, WithReason(problem, error), ErrorKind::kCannotWrite);
}

}  // namespace morvik
