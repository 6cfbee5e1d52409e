#include "segment/grey_image.h"

#include <cstdint>

#include "image/grey.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

constexpr int kBlock = 16;

}  // namespace

bool GreyRunPlain(const std::uint8_t* p) {
  for (int k = 0; k < kBlock; ++k, p += 3)
    if (p[0] != p[1] || p[1] != p[2]) return false;
  return true;
}

#if defined(__SSE2__)
bool GreyRun(const std::uint8_t* p) {
  std::uint64_t equal = 0;
  for (int k = 0; k < 3; ++k) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k + 1));
    equal |= static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, next))) << (16 * k);
  }
  // Byte i equals byte i + 1 for the first two bytes of every pixel.
  constexpr std::uint64_t kWithinPixels = 0x6DB6DB6DB6DB;
  return (equal & kWithinPixels) == kWithinPixels;
}
#else
bool GreyRun(const std::uint8_t* p) {
  return GreyRunPlain(p);
}
#endif

GreyImage ToGreyImage(const Bitmap& bitmap) {
  GreyImage g;
  g.Width = bitmap.Width();
  g.Height = bitmap.Height();
  g.Pixels.resize(static_cast<std::size_t>(g.Width) * g.Height);
  std::uint8_t* out = g.Pixels.data();
  auto grey = [](const std::uint8_t* p) { return p[0] == p[1] && p[1] == p[2]; };
  for (int y = 0; y < g.Height; ++y) {
    const std::uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < g.Width;) {
      // Runs of sixteen grey pixels, most of a grey picture, are taken as they are.
      if (grey(p) && x + kBlock + 1 <= g.Width && GreyRun(p)) {
        for (int k = 0; k < kBlock; ++k) out[k] = p[3 * k];
        x += kBlock, p += 3 * kBlock, out += kBlock;
        continue;
      }
      // A grey pixel is its own grey.
      *out++ = static_cast<std::uint8_t>(grey(p) ? p[0] : GreyOf(MakeColour(p[2], p[1], p[0])));
      ++x, p += 3;
    }
  }
  return g;
}

Bitmap ToBitmap(const GreyImage& grey) {
  Bitmap bm(grey.Width, grey.Height);
  for (int y = 0; y < grey.Height; ++y) {
    std::uint8_t* p = bm.Row(y);
    for (int x = 0; x < grey.Width; ++x, p += 3) p[0] = p[1] = p[2] = grey.At(x, y);
  }
  return bm;
}

}  // namespace morvik
