#include "form/thumbnail_layout.h"

#include <cmath>

#include "core/number_format.h"
#include "core/scoring.h"

namespace morvik {

namespace {

// Trunc(side x scale) with the product held in extended precision, never as a double.
int ScaledSide(int side, double scale) {
  return static_cast<int>(std::trunc(static_cast<long double>(side) * scale));
}

std::string RankLabel(const TRankEntry& rank, const CharMapState& chars) {
  if (!chars.CharMapLoaded) return std::to_string(rank.No);
  const char c = chars.CharMap[rank.No <= kReferenceCount ? rank.No : 0];
  return c == 0 ? std::string() : std::string(1, c);
}

}  // namespace

int MarginPoints(double score1, double score2) {
  const long double points =
      (static_cast<long double>(score1) - static_cast<long double>(score2)) * 100.0L;
  return static_cast<int>(std::nearbyint(points));
}

ThumbnailLayout LayoutThumbnail(int width, int height, int row, int column,
                                const std::array<TRankEntry, 3>& topThree,
                                const CharMapState& chars) {
  const int longer = width <= height ? height : width;
  ThumbnailLayout t;
  // A blank picture has no raster: its results stand around a thumbnail of no size.
  if (longer > 0) t.Scale = static_cast<double>(static_cast<long double>(kThumbnailSide) / longer);
  t.Left = kThumbnailColumnStep * column + kThumbnailLeftOffset;
  t.Top = (row - 1) * kThumbnailRowStep;
  t.Right = t.Left + ScaledSide(width, t.Scale);
  t.Bottom = t.Top + ScaledSide(height, t.Scale);
  for (std::size_t k = 0; k < 3; ++k) {
    const int step = kThumbnailLineStep * static_cast<int>(k);
    const Colour colour = RankColours[k];
    t.Labels[k] = {RankLabel(topThree[k], chars), t.Left - 2, t.Top + step, true, colour, k == 0};
    // The product is formatted as formed, in extended precision: 91.24999... reads 91.2.
    const long double percent = static_cast<long double>(topThree[k].Score) * 100;
    t.Percentages[k] = {
        FormatScore(percent) + "%", t.Left, t.Bottom + step, false, colour, false, true};
  }
  t.Margin = {std::to_string(MarginPoints(topThree[0].Score, topThree[1].Score)),
              t.Left,
              t.Bottom + 7,
              true,
              kFuchsia,
              false,
              false,
              true};
  return t;
}

void UpdateScrollRange(ThumbnailScrollRange& range, const ThumbnailLayout& layout) {
  if (layout.Right + 10 > range.Horizontal) range.Horizontal = layout.Right + 10;
  range.Vertical = layout.Bottom + 60 < 0 ? 0 : layout.Bottom + 60;
}

}  // namespace morvik
