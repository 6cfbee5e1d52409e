// The last step of a loop over a row sixteen bytes at a time, where the row's length is not a
// multiple of sixteen: the row's last sixteen bytes taken again, the lanes the loop has seen
// already masked out. Rows of print are a few dozen pixels long, and a tail one pixel at a
// time would cost as much as the rest.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace morvik {

// 0xFF in the last `fresh` of sixteen byte lanes (fresh from 0 to 16), 0 in the others.
inline __m128i LastLanes(int fresh) {
  alignas(16) static constexpr std::uint8_t kMask[32] = {
      0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
      0,    0,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kMask + fresh));
}

}  // namespace morvik
#endif
