// Sampling a raster into a pattern: the brightest grey of each of 16 x 16 blocks, turned
// into a level by threshold and increment (see picture_loading.h for the whole path).
#pragma once

#include <cstdint>

#include "core/pattern.h"
#include "image/picture_loading.h"

namespace morvik {

// Brightest grey of the block of column c and row r (1..16) of ScaledBitmap; positions
// outside the raster count as 0.
int SampleCell(const Bitmap& scaled, int column, int row);

// The level of grey g under threshold t and increment i (percentages).
std::uint8_t GreyToLevel(int g, int threshold, int increment);

}  // namespace morvik
