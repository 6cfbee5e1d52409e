// The second look at a cut character: its ink box stretched to a grey grid of exact area
// means and compared by correlation, with the box's proportions, which the 16 x 16 pattern of
// six levels, normalised to its corner, does not keep.
#pragma once

#include "image/bitmap.h"
#include "library/set_detail.h"

namespace morvik {

// The detail of a cut (bright strokes on black, with CutCharacter's margins): the ink box is
// the cut without its margins, each grid cell the mean grey of the pixels it covers (exact
// integer area weights), then smoothed by 1 2 1 across and down so that strokes a cell apart
// still meet. `height` is the character's relative height (RelativeHeight), 0 where not known.
// A cut with no pixels inside its margins gives an invalid detail.
CharacterDetail DetailOf(const Bitmap& cut, std::uint16_t height = 0);

// How alike two valid details are: the correlation of their grids (-1..1; 1 where both grids
// are flat, 0 where one is) less a penalty growing with the ratio of their proportions and, where
// both heights are known, with the ratio of their heights.
double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b);

// A bound DetailSimilarity never exceeds, from the proportions and heights: a reference whose bound
// does not beat the candidates found so far need not be compared.
double DetailSimilarityBound(const CharacterDetail& a, const CharacterDetail& b);

// The penalty both of the above subtract, and the two given it, for a caller that wants the
// bound first and the likeness after without working the penalty out twice.
long double DetailPenalty(const CharacterDetail& a, const CharacterDetail& b);
double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b, long double penalty);
double DetailSimilarityBound(long double penalty);

}  // namespace morvik
