// Characters of a line: its component boxes merged where they overlap horizontally, so the dot
// of an i or j, the two dots of a colon, the parts of a percent sign and the pieces of a broken
// stroke become one character each.
#pragma once

#include <vector>

#include "segment/segmentation.h"

namespace morvik {

// Two boxes belong to one character when their columns overlap by at least half the narrower
// one's width and they either share at most half the lower one's rows (stacked) or one is
// less than 0.6 times as high as the other; kerned neighbours ("AV", "TA") are neither. Merged
// boxes are merged again until none overlaps so. Marks lower and narrower than a twelfth of the
// line height are dropped (a full stop is about a tenth of a line of ascenders and descenders).
// Boxes come left to right.
std::vector<Rect> MergeIntoCharacters(std::vector<Rect> parts, int lineHeight);

// The median of the widths of the boxes at least half the line height tall (so dots and
// hyphens do not count); 0 when there are none.
int MedianCharWidth(const std::vector<Rect>& chars, int lineHeight);

}  // namespace morvik
