// The message of the morvik::Error a call throws, for tests that check what a message names.
#pragma once

#include <string>

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

}  // namespace morvik::test
