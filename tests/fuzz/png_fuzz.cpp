// libFuzzer entry point for the PNG reader: a byte of image data inflates to at most 1032
// bytes, each holding up to 8 one-bit pixels, which bounds the picture an input can yield.
#include "fuzz_check.h"
#include "image/png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return morvik::fuzz::Check(morvik::DecodePng, data, size, 8 * 1032, 8 * 4096);
}
