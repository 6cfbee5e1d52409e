// Fixed layouts: a grid of equal cells, each cell one character box.
#pragma once

#include "segment/binarise.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

struct GridLayout {
  int Left = 0, Top = 0;  // the top-left corner of the first cell
  int CellWidth = 0, CellHeight = 0;
  int Columns = 0, Rows = 0;
};

// One line per grid row, one box per cell: the ink of the cell without dust, or the whole cell
// (clipped to the picture) marked Empty when it has none. Throws Error when a cell size or
// count is below 1 or the grid has more than a million cells. Stops past maxChars cells with
// ink as SegmentText does.
Segmentation SegmentGrid(const GreyImage& grey, const GridLayout& grid,
                         Polarity polarity = Polarity::Auto,
                         std::size_t maxChars = kNoCharacterLimit);

// The box of the ink inside a rectangle of a binary image; an empty rectangle without ink.
Rect InkBox(const BinaryImage& image, const Rect& area);

}  // namespace morvik
