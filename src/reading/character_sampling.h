// The 16 x 16 pattern of a character the reading path cut out (ScaleCharacter: bright on
// black, no margins), sampled straight from its greys. The result is, bit for bit, that of
// the one-bitmap route (LoadPicture) on the same cut with CutCharacter's black margins: the
// same analysis, crop, raster size, stretch and second analysis, worked on one byte per pixel
// with the margins counted rather than drawn.
#pragma once

#include <string>

#include "core/pattern.h"
#include "image/image_options.h"
#include "segment/grey_image.h"

namespace morvik {

// The pattern (not yet normalised) of the cut under the image options. Throws Error naming
// `name` where LoadPicture would: nothing left after cropping, or a raster without pixels
// whose threshold was to be found.
TPattern SampleCharacter(const GreyImage& cut, const ImageOptions& options,
                         const std::string& name = "character");

}  // namespace morvik
