// The morvik::Error a call throws: its message, for tests that check what a message names,
// or its kind and file.
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

struct Caught {
  bool Thrown = false;
  ErrorKind Kind = ErrorKind::kFailed;
  std::string File, Message;
};

template <typename Fn>
Caught CatchError(Fn fn) {
  try {
    fn();
  } catch (const Error& e) {
    return {true, e.Kind(), e.File(), e.what()};
  }
  return {};
}

// The kind and file of the Error fn throws; "(no error)" as the file when it throws none.
template <typename Fn>
std::pair<ErrorKind, std::string> KindAndFileOf(Fn fn) {
  const Caught e = CatchError(fn);
  return {e.Kind, e.Thrown ? e.File : "(no error)"};
}

}  // namespace morvik::test
