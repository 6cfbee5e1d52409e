// Tables: ruling lines found as long horizontal and vertical runs of ink, removed, and each
// cell between them cut into its characters.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// Bands of rows (or columns) that hold a ruling line: a run of ink at least 40% of the
// picture's width (or height). Each band is {first, one past the last}.
struct Rulings {
  std::vector<std::pair<int, int>> Rows, Columns;
};
Rulings FindRulings(const BinaryImage& image);

// One line per table row, the characters of its cells left to right (a cell's several lines
// one after the other); the first character of every cell but the row's first has SpaceBefore
// set, and a cell without ink gives one Empty box of the whole cell. Rows and columns of cells
// without any ink (the margin outside a frame) are left out. Stops past maxChars characters
// as SegmentText does.
Segmentation SegmentTable(const GreyImage& grey, Polarity polarity = Polarity::Auto,
                          std::size_t maxChars = kNoCharacterLimit);

}  // namespace morvik
