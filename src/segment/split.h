// Touching characters: a box much wider than the line's typical character is cut at the
// columns with the least ink near multiples of the typical width.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

// A box at least 1.6 times the median character width and at least 0.9 times its own height
// wide is taken to hold round(width / median) characters. Each cut is searched within a
// quarter of the median width around its expected column and made only where the column's
// ink is at most a third of the box height (the contact of two characters, not a stem); the
// pieces are then shrunk to their ink. Boxes stay left to right.
std::vector<Rect> SplitTouching(const BinaryImage& image, const std::vector<Rect>& chars,
                                int lineHeight);

}  // namespace morvik
