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
      entries_.push_back(Entry{&ref, static_cast<int>(s), k});
      aspect_.push_back(static_cast<double>(ref.LogAspect));
      height_.push_back(static_cast<double>(ref.LogHeight));
      known_.push_back(ref.Height > 0 ? 1.0 : 0.0);
      invNorm_.push_back(static_cast<double>(ref.InvNorm));
      sum_.push_back(static_cast<double>(ref.Sum));
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
  // DetailLikeness and DetailPenalty in double precision, exact but for rounding (the sums
  // are integers below 2^31): a flat reference's estimate is its exact likeness, -penalty. A
  // flat cut, whose likeness with a flat reference is 1, is not estimated.
  const bool estimated = cut.InvNorm != 0;
  const double aspect = static_cast<double>(cut.LogAspect),
               height = static_cast<double>(cut.LogHeight),
               invNorm = static_cast<double>(cut.InvNorm), sum = static_cast<double>(cut.Sum),
               heightWeight = cut.Height > 0 ? static_cast<double>(kHeightWeight) : 0.0;
  // Estimates below this are passed over: none until the list is full.
  double passOver = -HUGE_VAL;
  std::array<std::int32_t, kBatch> products;
  std::array<double, kBatch> estimates;
  for (std::size_t first = 0; first < entries_.size(); first += kBatch) {
    const std::size_t n = std::min(kBatch, entries_.size() - first);
    GridProductsWithEach(cut.Grid, grids_.data() + first * kCells, n, products.data());
    for (std::size_t i = 0, j = first; i < n; ++i, ++j) {
      const double cov = static_cast<double>(kCells) * products[i] - sum * sum_[j];
      const double penalty = static_cast<double>(kAspectWeight) * std::fabs(aspect - aspect_[j]) +
                             heightWeight * known_[j] * std::fabs(height - height_[j]);
      estimates[i] = cov * invNorm * invNorm_[j] - penalty;
    }
    for (std::size_t i = 0; i < n; ++i) {
      if (estimates[i] < passOver) continue;
      offer(entries_[first + i], products[i]);
      if (estimated && best.size() == room) passOver = best.back().Likeness - kEstimateMargin;
    }
  }
  return best;
}

}  // namespace morvik
