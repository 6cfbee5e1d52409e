// A grey picture, one byte per pixel, rows top to bottom: what the segmenter works on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"

namespace morvik {

struct GreyImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;  // Width x Height
  std::uint8_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Each pixel's grey by the engine's grey formula (GreyOf), so cut characters keep the greys a
// loaded bitmap would have.
GreyImage ToGreyImage(const Bitmap& bitmap);

// The grey picture as an RGB bitmap with equal channels.
Bitmap ToBitmap(const GreyImage& grey);

}  // namespace morvik
