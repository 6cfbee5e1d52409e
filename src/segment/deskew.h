// Skew of a page of text: the angle its lines of print make with the rows, found from the
// lower edges of the ink, and the picture turned back by it before lines are cut.
#pragma once

#include "segment/binarise.h"
#include "segment/grey_image.h"

namespace morvik {

// The largest skew looked for, in degrees either way: scanned and photographed pages lie
// within a few degrees; a picture turned farther is a layout, not a skew.
constexpr long double kMaxSkewDegrees = 4;

// Below this the lines are not turned: half a pixel over a line a thousand pixels long, which
// the cut tolerates, while turning would soften every stroke.
constexpr long double kMinSkewDegrees = 0.12L;

// The angle in degrees (positive when the lines fall to the right, y growing downwards) at
// which the lower edges of the ink, projected along it, gather in the fewest and fullest
// rows; 0 when no angle gathers them a quarter better than the rows themselves, or when the
// image holds too few lower edges to tell (a line of a few words).
long double EstimateSkew(const BinaryImage& ink);

// The picture turned by -degrees about its centre, the same size, bilinear; what comes in
// from outside takes the grey `ground`.
GreyImage Rotate(const GreyImage& grey, long double degrees, std::uint8_t ground);

// The grey of the ground: the commonest grey of the class that is not ink.
std::uint8_t GroundGrey(const GreyImage& grey, const BinaryImage& ink);

// Where the point (x, y) of the turned picture lies in the original one.
void Unrotate(long double degrees, int width, int height, long double& x, long double& y);

}  // namespace morvik
