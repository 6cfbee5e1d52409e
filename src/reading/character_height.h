// How tall a character stands in its line: its height against the line's capitals, which
// tells capitals from small letters of the same shape (O o, S s, V v) where the cut cannot.
#pragma once

#include <cstdint>
#include <vector>

#include "segment/segmentation.h"

namespace morvik {

// The height of the line's capitals: from the highest top of its characters down to their
// baseline, the median bottom (descenders hang below it, so few of them do not move it).
// Empty boxes are passed over; 0 for a line without characters.
int LineCapHeight(const std::vector<CharBox>& chars);

// A height in thousandths of the capital height, at least 1 and at most 65535; 0 (not known)
// when either height is not positive.
std::uint16_t RelativeHeight(int height, int capHeight);

}  // namespace morvik
