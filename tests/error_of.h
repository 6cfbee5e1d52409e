// The morvik::Error a call throws: its message, for tests that check what a message names,
// or its kind and file.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// A call that must fail, with the kind and file it must fail with ("" for none).
struct ErrorCase {
  const char* what;
  std::function<void()> call;
  ErrorKind kind;
  std::string file;
};

inline void ExpectErrors(const std::vector<ErrorCase>& cases) {
  for (const ErrorCase& c : cases) {
    const auto [kind, file] = KindAndFileOf(c.call);
    EXPECT_EQ(kind, c.kind) << c.what;
    EXPECT_EQ(file, c.file) << c.what;
  }
}

}  // namespace morvik::test
