// Touching characters: a box much wider than the line's typical character is cut at the
// columns with the least ink near multiples of the typical width.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

// A box at least 1.6 times the median character width (for a line of fewer than three
// characters, counted at most 0.75 line heights) and at least 0.9 times the line height wide (so
// a lowercase m between ascenders stays whole) is
// taken to hold round(width / median) characters. Each cut is made at the column with the
// least ink within a quarter of the median width around its expected place, provided that
// column holds at most 0.15 of the box height (a contact, not a stroke); the pieces are then
// shrunk to their ink. Boxes stay left to right.
// Per column of a rectangle of the picture: its ink pixels and the rows (counted from the
// rectangle's top) of the first and last one, -1 without ink. Where touching letters meet,
// a column holds little ink or its outline dips.
struct InkColumn {
  int Ink = 0, First = -1, Last = -1;
};
std::vector<InkColumn> InkColumns(const BinaryImage& image, const Rect& r);

std::vector<Rect> SplitTouching(const BinaryImage& image, const std::vector<Rect>& chars,
                                int lineHeight);

}  // namespace morvik
