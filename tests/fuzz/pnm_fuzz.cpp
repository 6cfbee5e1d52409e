// libFuzzer entry point for the Netpbm reader: a binary PBM byte holds 8 pixels, the densest
// form there is.
#include "fuzz_check.h"
#include "image/pnm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return morvik::fuzz::Check(morvik::DecodePnm, data, size, 8);
}
