// What every fuzz target of a set's files checks: each input is read or refused with a
// morvik::Error of kind kBadData that names the file; anything else (another exception, a
// crash, a sanitizer's finding) is a fault.
#pragma once

#include <cstdlib>
#include <string>

#include "core/error.h"

namespace morvik::fuzz {

constexpr const char* kFile = "fuzz";

template <typename Parse>
int CheckSetFile(Parse parse) {
  try {
    parse();
  } catch (const Error& e) {
    if (e.Kind() != ErrorKind::kBadData && e.Kind() != ErrorKind::kTooLarge) std::abort();
    if (e.File().rfind(kFile, 0) != 0) std::abort();
  }
  return 0;
}

}  // namespace morvik::fuzz
