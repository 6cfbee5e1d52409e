// One character cut out of a picture as the matcher wants it: bright strokes on black.
#pragma once

#include <cstdint>

#include "image/bitmap.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// Black pixels around the cut character, so that its strokes never touch the edge.
constexpr int kCutMargin = 2;

// The box's greys (clipped to the picture), inverted when the picture is dark on light, with a
// black margin of kCutMargin pixels on every side. An empty box gives a black picture of the
// margins alone.
Bitmap CutCharacter(const GreyImage& grey, const CharBox& box, bool darkOnLight);

// The same with the box's greys resampled by area averaging so that its longer side is
// `side` pixels (the other side in proportion, at least 1), then the black margin. Sampling
// every character at the size of the matcher's raster makes its pattern nearly independent
// of the size it was printed at; nearest-neighbour scaling of small or odd sizes doubles
// rows and columns unevenly. An empty box gives the margins alone.
Bitmap CutCharacterScaled(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side);

// The greys of CutCharacterScaled without its margins, as the reading path samples them: no
// colour channels, no margin to add and crop again. An empty box gives a 0 x 0 picture.
GreyImage ScaleCharacter(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side);

// (sum + total / 2) / total, exactly, for 0 <= sum <= 255 total < 2^62: a grey mean rounded
// half up, by a multiplication with the reciprocal worked out once for many means (a
// division per pixel would cost several times more).
struct MeanDivisor {
  std::int64_t Total = 1;
  std::uint64_t Inverse = 0;  // floor((2^64 - 1) / Total)
};

inline MeanDivisor MeanDivisorOf(std::int64_t total) {
  return MeanDivisor{total, UINT64_MAX / static_cast<std::uint64_t>(total)};
}

// n / Total rounded down, for n below 2^64 whose quotient fits an int.
inline int FlooredQuotient(std::uint64_t n, const MeanDivisor& d) {
  __extension__ typedef unsigned __int128 Wide;
  // The reciprocal falls short of 2^64 / Total by at most 1 + 1 / Total, so the quotient by
  // it falls short by less than 2 n / 2^64 < 1: it is the true one or one less.
  std::uint64_t q = static_cast<std::uint64_t>((Wide{n} * d.Inverse) >> 64);
  // Added rather than branched on: which of the two it is follows the greys, and a
  // mispredicted branch per pixel cost more than the rest of the scaling.
  q += static_cast<std::uint64_t>((q + 1) * static_cast<std::uint64_t>(d.Total) <= n);
  return static_cast<int>(q);
}

inline int RoundedMean(std::int64_t sum, const MeanDivisor& d) {
  return FlooredQuotient(static_cast<std::uint64_t>(sum + d.Total / 2), d);
}

}  // namespace morvik
