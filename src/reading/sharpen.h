// Soft print read sharper: on a page whose edges are blurred (a scan out of focus, a print
// spread by the paper), letters touch where the blur filled the gaps between them and read as
// one. An unsharp mask steepens the edges again before the page is cut.
#pragma once

#include <array>

#include "segment/grey_image.h"

namespace morvik {

// True when the picture's edges are soft: with its greys measured from the ink (the darkest
// half percent) to the ground (the median), nine in ten steps between neighbouring pixels at
// the edges of ink are under kSoftEdgeStep of that range. Sharp print, even anti-aliased at 100
// dpi, steps in single pixels (0.7 and more); a Gaussian blur of radius 1.2 spreads the steps over
// three or four (about 0.35). A picture with little ink (under kMinEdgePixels such steps) is not
// judged: false.
bool LooksBlurred(const GreyImage& grey);
// The same, for a caller that has the picture's GreyHistogram already.
bool LooksBlurred(const GreyImage& grey, const std::array<long long, 256>& histogram);
constexpr long double kSoftEdgeStep = 0.42L;
constexpr int kMinEdgePixels = 2000;

// The unsharp mask of the picture: each grey plus its difference from a Gaussian blur
// (sigma 1.5 px) of the picture around it, clamped to 0-255; the same size.
GreyImage Sharpen(const GreyImage& grey);

}  // namespace morvik
