// Word spaces of a line, found from the gaps between its characters.
#pragma once

#include <vector>

#include "segment/segmentation.h"

namespace morvik {

// Per character (left to right), whether a space comes before it; height is the line's
// typical character height. A word space is 0.38 to 0.45 cap heights wide in common fonts, the
// side bearings between letters 0.1 to 0.2 together. Two rules:
// - A regular pitch (monospaced text, or the tabular figures of most fonts): when at least 70%
//   of the distances between neighbouring character centres lie within 10% of their median P,
//   a space is a centre distance above 1.25 P (a space adds a whole pitch in monospaced text
//   and at least 0.4 P between tabular figures), or a gap wider than the median gap by 0.3
//   heights.
// - Otherwise a space is a gap wider than the median gap by 0.23 heights.
// The median gap counts at most 0.15 heights, so that a short line whose only gap is a space
// still finds it, and the gaps beside a character narrower than half the median width shrink
// by 0.1 of the difference (the wide bearings of a figure one or an I are no space).
std::vector<bool> FindSpaces(const std::vector<Rect>& chars, int height);

}  // namespace morvik
