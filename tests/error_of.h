// The message of the morvik::Error a call throws, for tests that check what a message names.
#pragma once

#include <string>
#include <utility>

#include "core/error.h"

namespace morvik::test {

// Empty when fn throws no Error.
template <typename Fn>
std::string ErrorOf(Fn fn) {
  try {
    fn();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

// The kind and file of the Error fn throws; "(no error)" as the file when it throws none.
template <typename Fn>
std::pair<ErrorKind, std::string> KindAndFileOf(Fn fn) {
  try {
    fn();
  } catch (const Error& e) {
    return {e.Kind(), e.File()};
  }
  return {ErrorKind::kFailed, "(no error)"};
}

}  // namespace morvik::test
