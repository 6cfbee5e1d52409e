// libFuzzer entry point for the BMP reader: every input must decode or be refused with
// morvik::Error, within the sanitizers and without a picture out of proportion to the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/error.h"
#include "image/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const morvik::Bitmap b = morvik::DecodeBmp(data, size, "fuzz.bmp");
    // Plain pixels take at least a bit each and an RLE byte paints under 128 pixels: a larger
    // picture means a size check let through an allocation the file cannot justify.
    const std::uint64_t pixels = static_cast<std::uint64_t>(b.Width()) * b.Height();
    if (pixels == 0 || pixels > 128 * static_cast<std::uint64_t>(size)) std::abort();
  } catch (const morvik::Error&) {
  }
  return 0;
}
