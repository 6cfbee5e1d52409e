// Sampling a raster into a pattern: the brightest grey of each of 16 x 16 blocks, turned
// into a level by threshold and increment (see picture_loading.h for the whole path).
#pragma once

#include <cstdint>

#include "core/pattern.h"
#include "image/picture_loading.h"

namespace morvik {

// The level of grey g under threshold t and increment i (percentages).
std::uint8_t GreyToLevel(int g, int threshold, int increment);

}  // namespace morvik
