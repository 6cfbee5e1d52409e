#include "reading/detail_shortlist.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "reading/grid_products.h"

namespace morvik {

namespace {

constexpr std::size_t kCells = kDetailSize * kDetailSize;

// The products are taken this many references at a time, into a buffer on the stack.
constexpr std::size_t kBatch = 64;

// How far below the last place an estimate must fall to pass a reference over: far above the
// rounding of double precision on these sums (below 1e-12), far below any gap between
// likenesses that decides a place.
constexpr double kEstimateMargin = 1e-6;

}  // namespace

DetailShortlist::DetailShortlist(const ReferenceLibrary& library, const CharFilter& filter) {
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    if (!set.Detail.Loaded) continue;
    for (int k = 1; k <= kReferenceCount; ++k) {
      const CharacterDetail& ref = set.Detail.Refs[static_cast<std::size_t>(k)];
      if (!ref.Valid || !IsCandidate(filter, set.Chars, k)) continue;
      entries_.push_back(Entry{&ref, static_cast<int>(s), k, static_cast<double>(ref.LogAspect),
                               static_cast<double>(ref.LogHeight), static_cast<double>(ref.InvNorm),
                               ref.Sum, ref.Height > 0});
      grids_.insert(grids_.end(), ref.Grid.begin(), ref.Grid.end());
    }
  }
}

std::vector<DetailCandidate> DetailShortlist::Best(const CharacterDetail& cut, int count) const {
  std::vector<DetailCandidate> best;
  const std::size_t room = std::min(static_cast<std::size_t>(std::max(count, 0)), entries_.size());
  if (room == 0) return best;
  best.reserve(room + 1);
  // Kept as a short sorted list while all references pass by: most fall below its last place
  // at once, many on their proportions alone. In set and number order, so that a later equal
  // likeness stays behind.
  auto offer = [&](const Entry& e, std::int32_t products) {
    const long double penalty = DetailPenalty(cut, *e.Detail);
    const bool full = best.size() == room;
    if (full && !(DetailSimilarityBound(penalty) > best.back().Likeness)) return;
    const double likeness = DetailLikeness(cut, *e.Detail, products, penalty);
    if (full && !(likeness > best.back().Likeness)) return;
    auto at = best.end();
    while (at != best.begin() && likeness > (at - 1)->Likeness) --at;
    best.insert(at, DetailCandidate{e.Set, e.No, likeness});
    if (best.size() > room) best.pop_back();
  };
  // DetailLikeness and DetailPenalty in double precision, where neither grid is flat (the
  // flat cases are not estimated).
  const double aspect = static_cast<double>(cut.LogAspect),
               height = static_cast<double>(cut.LogHeight),
               invNorm = static_cast<double>(cut.InvNorm);
  const bool hasHeight = cut.Height > 0;
  auto estimate = [&](const Entry& e, std::int32_t products) {
    const std::int64_t cov = static_cast<std::int64_t>(kCells) * products - cut.Sum * e.Sum;
    double penalty = static_cast<double>(kAspectWeight) * std::fabs(aspect - e.LogAspect);
    if (hasHeight && e.HasHeight)
      penalty += static_cast<double>(kHeightWeight) * std::fabs(height - e.LogHeight);
    return static_cast<double>(cov) * invNorm * e.InvNorm - penalty;
  };
  std::array<std::int32_t, kBatch> products;
  for (std::size_t first = 0; first < entries_.size(); first += kBatch) {
    const std::size_t n = std::min(kBatch, entries_.size() - first);
    GridProductsWithEach(cut.Grid, grids_.data() + first * kCells, n, products.data());
    for (std::size_t i = 0; i < n; ++i) {
      const Entry& e = entries_[first + i];
      if (best.size() == room && invNorm != 0 && e.InvNorm != 0 &&
          estimate(e, products[i]) < best.back().Likeness - kEstimateMargin)
        continue;
      offer(e, products[i]);
    }
  }
  return best;
}

}  // namespace morvik
