// The engine's error channel: the public Error type and the one helper that puts the file
// name in front of a problem found while working on that file.
#pragma once

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

}  // namespace morvik
