// Grey conversion, the 256- and 16-bin histograms and the automatic threshold, found as a
// valley and a second peak after the fullest coarse bin.
#pragma once

#include "image/bitmap.h"
#include "image/image_state.h"

namespace morvik {

// Round(R x 0.3 + G x 0.6 + B x 0.1) in 80-bit extended arithmetic, halves to even.
int GreyOf(Colour colour);

void BuildCoarseHistogram(Histograms& h);
void FindPeak(Histograms& h);

// The threshold as a coarse-bin index PeakBin..15. Throws Error when the histogram is
// empty (a picture without pixels), where the ratio of the two sides is 0 / 0.
int FindThreshold(const Histograms& h);

// Grey conversion and histograms of the bitmap (changed in place); with "Autodetect" on,
// writes threshold and increment (each write may notify). Throws as FindThreshold does.
void AnalyseBitmap(Bitmap& bitmap, ImageState& state);

}  // namespace morvik
