// The second look at a cut character: its ink box stretched to a grey grid of exact area
// means and compared by correlation, with the box's proportions, which the 16 x 16 pattern of
// six levels, normalised to its corner, does not keep.
#pragma once

#include <cmath>
#include <cstdint>

#include "image/bitmap.h"
#include "library/set_detail.h"
#include "segment/grey_image.h"

namespace morvik {

// The detail of a cut (bright strokes on black, with CutCharacter's margins): the ink box is
// the cut without its margins, each grid cell the mean grey of the pixels it covers (exact
// integer area weights), then smoothed by 1 2 1 across and down so that strokes a cell apart
// still meet. `height` is the character's relative height (RelativeHeight), 0 where not known.
// A cut with no pixels inside its margins gives an invalid detail.
CharacterDetail DetailOf(const Bitmap& cut, std::uint16_t height = 0);

// The same for a cut without margins (ScaleCharacter), one grey per pixel.
CharacterDetail DetailOf(const GreyImage& cut, std::uint16_t height = 0);

// How alike two valid details are: the correlation of their grids (-1..1; 1 where both grids
// are flat, 0 where one is) less a penalty growing with the ratio of their proportions and, where
// both heights are known, with the ratio of their heights.
double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b);

// A bound DetailSimilarity never exceeds, from the proportions and heights: a reference whose bound
// does not beat the candidates found so far need not be compared.
double DetailSimilarityBound(const CharacterDetail& a, const CharacterDetail& b);

// Weight of the proportions: a box twice as wide for its height as the other costs 0.2 of
// correlation. Measured across typefaces: heavier weights confuse more than they separate.
inline constexpr long double kAspectWeight = 0.3L;

// Weight of the heights against the line's capitals: a small letter of 0.7 capital height
// costs about 0.18 against its capital, which outweighs the grids of the same shape; the
// spread of heights between typefaces and at small sizes costs far less.
inline constexpr long double kHeightWeight = 0.5L;

// The penalty both of the above subtract, and the two given it, for a caller that wants the
// bound first and the likeness after without working the penalty out twice (inline: they
// run for every reference of every character read).
inline long double DetailPenalty(const CharacterDetail& a, const CharacterDetail& b) {
  long double p = kAspectWeight * std::fabs(a.LogAspect - b.LogAspect);
  if (a.Height > 0 && b.Height > 0) p += kHeightWeight * std::fabs(a.LogHeight - b.LogHeight);
  return p;
}

double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b, long double penalty);

// The same where the sum of products of the two grids (GridProducts) is known already.
double DetailLikeness(const CharacterDetail& a, const CharacterDetail& b, std::int32_t products,
                      long double penalty);

inline double DetailSimilarityBound(long double penalty) {
  // A correlation is at most 1; the margin covers its rounding.
  return static_cast<double>(1.0L + 1e-9L - penalty);
}

}  // namespace morvik
