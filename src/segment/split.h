// Touching characters: a box much wider than the line's typical character is cut at the
// columns with the least ink near multiples of the typical width.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

// A box at least 1.6 times the median character width (counted at most 0.75 line heights) and at
// least 0.9 times its own height wide is taken to hold round(width / median) characters. Each cut
// is searched within a quarter of the median width around its expected column, at the column with
// the least ink among those whose ink is at most 0.45 of the box height and keeps out of the top
// and bottom fifths (a contact of two characters, not a stem, nor the V of an M). The box is cut
// only when every piece keeps a column of ink at least 0.6 of the height (a stem or the side of a
// bowl, which the halves of a W lack); the pieces are then shrunk to their ink. Boxes stay left to
// right.
std::vector<Rect> SplitTouching(const BinaryImage& image, const std::vector<Rect>& chars,
                                int lineHeight);

}  // namespace morvik
