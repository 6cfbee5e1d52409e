#include "reading/detail_shortlist.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "core/x86_dispatch.h"
#include "reading/grid_products.h"

namespace morvik {

namespace {

constexpr std::size_t kCells = kDetailSize * kDetailSize;

// The products are taken this many references at a time, into a buffer on the stack.
constexpr std::size_t kBatch = 64;
static_assert(kBatch <= 64, "a batch's estimates are sifted as the bits of one word");

// How far below the last place an estimate must fall to pass a reference over: far above the
// rounding of double precision on these sums (below 1e-12), far below any gap between
// likenesses that decides a place.
constexpr double kEstimateMargin = 1e-6;

// The cut's side of the estimate.
struct CutTerms {
  double Aspect, Height, InvNorm, Sum, HeightWeight;
};

// The fields of a batch of references that the estimate reads, from its first.
struct RefTerms {
  const double *Aspect, *Height, *Known, *InvNorm, *Sum;
};

// DetailLikeness in double precision for each reference of a batch. Written once and
// inlined twice, so that a processor with AVX2 takes four references a step instead of two.
__attribute__((always_inline)) inline void EstimatesOf(const CutTerms& cut, const RefTerms& ref,
                                                       const std::int32_t* products, std::size_t n,
                                                       double* estimates) {
  for (std::size_t i = 0; i < n; ++i) {
    const double cov = static_cast<double>(kCells) * products[i] - cut.Sum * ref.Sum[i];
    const double penalty =
        static_cast<double>(kAspectWeight) * std::fabs(cut.Aspect - ref.Aspect[i]) +
        cut.HeightWeight * ref.Known[i] * std::fabs(cut.Height - ref.Height[i]);
    estimates[i] = cov * cut.InvNorm * ref.InvNorm[i] - penalty;
  }
}

#ifdef MORVIK_X86_DISPATCH
// No FMA: the estimates stay those of the plain loop.
__attribute__((target("avx2"))) void Avx2Estimates(const CutTerms& cut, const RefTerms& ref,
                                                   const std::int32_t* products, std::size_t n,
                                                   double* estimates) {
  EstimatesOf(cut, ref, products, n, estimates);
}

// The bits of NotBelowBits for whole steps of four; returns how many estimates it took.
__attribute__((target("avx2"))) std::size_t Avx2NotBelowBits(const double* estimates, std::size_t n,
                                                             double passOver, std::uint64_t& bits) {
  const __m256d pass = _mm256_set1_pd(passOver);
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m256d notBelow = _mm256_cmp_pd(_mm256_loadu_pd(estimates + i), pass, _CMP_NLT_UQ);
    bits |= static_cast<std::uint64_t>(_mm256_movemask_pd(notBelow)) << i;
  }
  return i;
}
#endif

void Estimates(const CutTerms& cut, const RefTerms& ref, const std::int32_t* products,
               std::size_t n, double* estimates) {
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2Estimates(cut, ref, products, n, estimates);
#endif
  EstimatesOf(cut, ref, products, n, estimates);
}

// Bit i set where estimates[i] is not below passOver (n at most 64): four compared a step
// with AVX2.
std::uint64_t NotBelowBits(const double* estimates, std::size_t n, double passOver) {
  std::uint64_t bits = 0;
  std::size_t i = 0;
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) i = Avx2NotBelowBits(estimates, n, passOver, bits);
#endif
  for (; i < n; ++i)
    if (!(estimates[i] < passOver)) bits |= std::uint64_t{1} << i;
  return bits;
}

}  // namespace

DetailShortlist::DetailShortlist(const ReferenceLibrary& library, const CharFilter& filter) {
  // Sized whole for every reference of the sets that carry detail (a bound of some 70 KiB for
  // the stock library), written by index, then cut to the references kept: growing the blocks
  // step by step copied each entry about twice, and a push per field cost as much again as
  // the rest of opening the shortlist.
  std::size_t count = 0;
  for (const ReferenceSet& set : library.Sets)
    if (set.Detail.Loaded) count += kReferenceCount;
  entries_.resize(count);
  grids_.resize(count);
  for (std::vector<double>* field : {&aspect_, &height_, &known_, &invNorm_, &sum_})
    field->resize(count);
  std::size_t i = 0;
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    if (!set.Detail.Loaded) continue;
    const std::uint8_t* grids = set.Detail.Grids();
    for (int k = 1; k <= kReferenceCount; ++k) {
      const CharacterDetail& ref = set.Detail.Ref(static_cast<std::size_t>(k));
      if (!ref.Valid || !IsCandidate(filter, set.Chars, k)) continue;
      entries_[i] = Entry{&ref, static_cast<int>(s), k};
      aspect_[i] = static_cast<double>(ref.LogAspect);
      height_[i] = static_cast<double>(ref.LogHeight);
      known_[i] = ref.Height > 0 ? 1.0 : 0.0;
      invNorm_[i] = static_cast<double>(ref.InvNorm);
      sum_[i] = static_cast<double>(ref.Sum);
      grids_[i] = grids ? grids + static_cast<std::size_t>(k - 1) * kCells : ref.Grid.data();
      ++i;
    }
  }
  entries_.resize(i);
  grids_.resize(i);
  for (std::vector<double>* field : {&aspect_, &height_, &known_, &invNorm_, &sum_})
    field->resize(i);
}

std::vector<DetailCandidate> DetailShortlist::Best(const CharacterDetail& cut, int count) const {
  std::vector<DetailCandidate> best;
  const std::size_t room = std::min(static_cast<std::size_t>(std::max(count, 0)), entries_.size());
  if (room == 0) return best;
  best.reserve(room + 1);
  // Kept as a short sorted list, offered in set and number order, so that a later equal
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
  const CutTerms terms{static_cast<double>(cut.LogAspect), static_cast<double>(cut.LogHeight),
                       static_cast<double>(cut.InvNorm), static_cast<double>(cut.Sum),
                       cut.Height > 0 ? static_cast<double>(kHeightWeight) : 0.0};
  // Every estimate first, and the room-th highest of them: the references that estimate
  // highest are worth at least that less the rounding, so one estimated below it by more than
  // the margin is passed over for good before any is compared exactly. Comparing as they come
  // instead offered some forty a cut for six places, each reading its reference's detail.
  const std::size_t n = entries_.size();
  thread_local std::vector<std::int32_t> products;
  thread_local std::vector<double> estimates;
  products.resize(std::max(products.size(), n));
  estimates.resize(std::max(estimates.size(), n));
  thread_local std::vector<double> highest;    // the room highest estimates so far, highest first
  thread_local std::vector<std::size_t> near;  // those not below passOver as it was then
  highest.clear();
  near.clear();
  double passOver = -HUGE_VAL;  // estimates below this are passed over
  for (std::size_t first = 0; first < n; first += kBatch) {
    const std::size_t size = std::min(kBatch, n - first);
    GridProductsWithEach(cut.Grid, grids_.data() + first, size, products.data() + first);
    const RefTerms refs{aspect_.data() + first, height_.data() + first, known_.data() + first,
                        invNorm_.data() + first, sum_.data() + first};
    Estimates(terms, refs, products.data() + first, size, estimates.data() + first);
    for (std::uint64_t left = NotBelowBits(estimates.data() + first, size, passOver); left != 0;
         left &= left - 1) {
      const std::size_t i = first + static_cast<std::size_t>(__builtin_ctzll(left));
      near.push_back(i);
      const double e = estimates[i];
      if (!estimated || std::isnan(e) || (highest.size() == room && !(e > highest.back())))
        continue;
      highest.insert(std::upper_bound(highest.begin(), highest.end(), e, std::greater<double>()),
                     e);
      if (highest.size() > room) highest.pop_back();
      if (highest.size() == room) passOver = highest.back() - kEstimateMargin;
    }
  }
  // Only those kept in `near` can reach the list. The last place only rises, so what falls
  // below it now is passed over for good.
  for (const std::size_t i : near) {
    if (estimates[i] < passOver) continue;
    offer(entries_[i], products[i]);
    if (estimated && best.size() == room)
      passOver = std::max(passOver, best.back().Likeness - kEstimateMargin);
  }
  return best;
}

}  // namespace morvik
