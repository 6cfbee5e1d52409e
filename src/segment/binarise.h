// Polarity and binarisation: Otsu's threshold splits the greys in two classes; the smaller
// class, or the one the border shows is not the ground, is taken as the ink.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "segment/grey_image.h"

namespace morvik {

enum class Polarity { Auto, DarkOnLight, LightOnDark };

struct BinaryImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Ink;  // 1 ink, 0 background
  bool At(int x, int y) const { return Ink[static_cast<std::size_t>(y) * Width + x] != 0; }
};

// How many pixels have each grey.
std::array<long long, 256> GreyHistogram(const GreyImage& grey);

// The grey t that best separates greys <= t from greys > t (Otsu: the largest variance between
// the classes); -1 when the picture has fewer than two greys.
int OtsuThreshold(const GreyImage& grey);

struct Binarised {
  BinaryImage Image;
  bool DarkOnLight = true;
};

// With Polarity::Auto the class with fewer pixels is the ink (text covers less of a picture
// than its ground) when it covers less than a quarter of the picture; between a quarter and
// three quarters the ground is the class that holds most of the border (a tight crop of a
// bold figure). A picture of one grey has no ink.
Binarised Binarise(const GreyImage& grey, Polarity polarity);
// The same, for a caller that has the picture's GreyHistogram already.
Binarised Binarise(const GreyImage& grey, Polarity polarity,
                   const std::array<long long, 256>& histogram);

}  // namespace morvik
