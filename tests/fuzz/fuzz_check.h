// What every picture fuzz target checks: each input decodes or is refused with morvik::Error,
// within the sanitizers, and a decoded picture keeps to the size cap and to what its input
// can honestly describe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/error.h"
#include "image/bitmap.h"
#include "image/picture_limits.h"

namespace morvik::fuzz {

// Decodes data with decode; aborts when the picture has more pixels than the cap or than
// pixels_per_byte times the input size allows (0: the cap alone).
template <typename Decoder>
int Check(Decoder decode, const std::uint8_t* data, std::size_t size, std::uint64_t pixels_per_byte,
          std::uint64_t slack = 0) {
  try {
    const Bitmap b = decode(data, size, "fuzz");
    const std::uint64_t pixels = static_cast<std::uint64_t>(b.Width()) * b.Height();
    if (pixels == 0 || b.Width() > kMaxPictureSide || b.Height() > kMaxPictureSide ||
        pixels > static_cast<std::uint64_t>(kMaxPicturePixels))
      std::abort();
    if (pixels_per_byte && pixels > pixels_per_byte * size + slack) std::abort();
  } catch (const Error&) {
  }
  return 0;
}

}  // namespace morvik::fuzz
