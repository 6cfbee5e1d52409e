// The settings of the image path as plain values: colour, automatic threshold, crop, aspect
// ratio, threshold and increment.
#pragma once

namespace morvik {

struct ImageOptions {
  bool BlackCharacters = false;  // the grey is inverted (dark characters on light ground)
  bool AutoThreshold = true;     // the analysis chooses threshold and increment
  bool Crop = false;             // crop the picture to its content first
  bool FixedRatio = true;        // width from Ratio instead of the picture's proportions
  int Ratio = 100;               // aspect ratio percent, 1..100
  int Threshold = 45;            // percent 0..100; used as given without AutoThreshold
  int Increment = 50;            // percent 0..100; likewise
};

}  // namespace morvik
