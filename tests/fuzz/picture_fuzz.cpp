// libFuzzer entry point for loading a picture of any format, the way standard input is read:
// the dispatch by signature and every reader behind it.
#include "fuzz_check.h"
#include "image/picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return morvik::fuzz::Check(morvik::DecodePicture, data, size, 0);
}
