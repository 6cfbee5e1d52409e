// Word spaces of a line, found from the gaps between its characters.
#pragma once

#include <vector>

#include "segment/segmentation.h"

namespace morvik {

// Per character (left to right), whether a space comes before it; height is the line's
// typical character height. Two rules:
// - A regular pitch (monospaced text, or the tabular figures of most fonts): when at least 70%
//   of the distances between neighbouring character centres below 1.5 P (those within words)
//   lie within 10% of their median P,
//   a space is a centre distance above 1.25 P, or a gap wider than the median gap by 0.3
//   times the height. A space adds a whole pitch in monospaced text
//   and at least 0.4 P between tabular figures, while a narrow figure's wide side bearings
//   leave the centre distance at P.
// - Otherwise a space is a gap wider than the median gap by 0.23 times the height (the
//   median gap counted at most 0.15 heights, so a short line whose only gap is a space still
//   finds it). A word space is 0.38 to 0.45 cap heights wide in common fonts, side
//   bearings between letters 0.1 to 0.2.
std::vector<bool> FindSpaces(const std::vector<Rect>& chars, int height);

}  // namespace morvik
