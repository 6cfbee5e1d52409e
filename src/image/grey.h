// Grey conversion, the 256- and 16-bin histograms and the automatic threshold, found as a
// valley and a second peak after the fullest coarse bin.
#pragma once

#include <array>
#include <cstdint>

#include "image/bitmap.h"

namespace morvik {

struct Histograms {
  std::array<std::int32_t, 256> Histogram{};
  std::array<std::int32_t, 16> CoarseHistogram{};
  std::int32_t PeakBin = 0;
};

// Round(R x 0.3 + G x 0.6 + B x 0.1) in 80-bit extended arithmetic, halves to even.
int GreyOf(Colour colour);

void BuildCoarseHistogram(Histograms& h);
void FindPeak(Histograms& h);

// The threshold as a coarse-bin index PeakBin..15. Throws Error when the histogram is
// empty (a picture without pixels), where the ratio of the two sides is 0 / 0.
int FindThreshold(const Histograms& h);

// Grey conversion (inverted for black characters) and histograms of the bitmap, changed in
// place.
void AnalyseBitmap(Bitmap& bitmap, bool blackCharacters, Histograms& h);

// The threshold and increment (percent) the automatic threshold chooses: (t x 100) / 16 - 1
// for the threshold bin t, and 100 less that, both clamped into 0..100. Throws as
// FindThreshold does.
void ChooseThreshold(const Histograms& h, int& threshold, int& increment);

}  // namespace morvik
