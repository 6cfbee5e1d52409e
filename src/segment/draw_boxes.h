// The cut drawn over the picture, for checking it by eye.
#pragma once

#include "image/bitmap.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// A copy of the grey picture with a one-pixel frame just outside every character box: red for
// characters, lime for empty cells, with a fuchsia mark left of a character after a space.
// Frames are clipped to the picture.
Bitmap DrawBoxes(const GreyImage& grey, const Segmentation& segmentation);

}  // namespace morvik
