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

// Whether the sixteen RGB pixels from p on are grey (each pixel's three bytes equal): sixteen
// bytes at a time where the host has SSE2, which reads one byte past them (callers leave a
// pixel after them), and pixel by pixel in GreyRunPlain, which gives the same answers.
bool GreyRun(const std::uint8_t* p);
bool GreyRunPlain(const std::uint8_t* p);

// The grey picture as an RGB bitmap with equal channels.
Bitmap ToBitmap(const GreyImage& grey);

}  // namespace morvik
