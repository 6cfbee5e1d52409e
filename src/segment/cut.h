// One character cut out of a picture as the matcher wants it: bright strokes on black.
#pragma once

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

}  // namespace morvik
