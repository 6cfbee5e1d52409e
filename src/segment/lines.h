// Text lines: bands of the horizontal projection of the character-sized components; the
// smaller ones (dots, accents, punctuation) join the nearest band instead of making their own.
#pragma once

#include <vector>

#include "segment/components.h"

namespace morvik {

struct LineParts {
  Rect Box;                 // the union of the parts
  std::vector<Rect> Parts;  // component boxes, in no particular order
};

// Components at least a third of the typical height make the bands; a band less than half the
// median band height is merged into its nearer neighbour. Every other component joins the band
// nearest to its centre, unless it lies farther from it than the band is high (then it is
// dropped as a stray mark). Lines come top to bottom.
std::vector<LineParts> FindLines(const std::vector<Component>& components, int imageHeight,
                                 int typicalHeight);

}  // namespace morvik
