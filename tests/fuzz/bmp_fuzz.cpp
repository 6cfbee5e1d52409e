// libFuzzer entry point for the BMP reader. An RLE stream may describe a whole picture in a
// few bytes, so only the size cap bounds what a BMP decodes to.
#include "fuzz_check.h"
#include "image/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return morvik::fuzz::Check(morvik::DecodeBmp, data, size, 0);
}
