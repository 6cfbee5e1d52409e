#include "library/library_scoring.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/error.h"
#include "core/normalize.h"

namespace morvik {

void BestThree::Offer(const LibraryMatch& match, long double rank) {
  auto before = [&](std::size_t p) {
    if (best_[p].No == 0) return true;
    if (rank != rank_[p]) return rank > rank_[p];
    if (match.Set != best_[p].Set) return match.Set < best_[p].Set;
    return match.No < best_[p].No;
  };
  if (distinct_ && match.Char != 0) {
    std::size_t d = 0;
    while (d < best_.size() && !(best_[d].No != 0 && best_[d].Char == match.Char)) ++d;
    if (d < best_.size()) {
      if (!before(d)) return;
      for (std::size_t q = d; q + 1 < best_.size(); ++q) {
        best_[q] = best_[q + 1];
        rank_[q] = rank_[q + 1];
      }
      best_.back() = LibraryMatch{};
      rank_.back() = 0;
    }
  }
  for (std::size_t p = 0; p < best_.size(); ++p) {
    if (!before(p)) continue;
    for (std::size_t q = best_.size() - 1; q > p; --q) {
      best_[q] = best_[q - 1];
      rank_[q] = rank_[q - 1];
    }
    best_[p] = match;
    rank_[p] = rank;
    return;
  }
}

bool BestThree::Refuses(char c, long double rank) const {
  if (best_.back().No != 0 && rank < rank_.back()) return true;
  if (!distinct_ || c == 0) return false;
  for (std::size_t d = 0; d < best_.size(); ++d)
    if (best_[d].No != 0 && best_[d].Char == c) return rank < rank_[d];
  return false;
}

PreparedTest PrepareTest(const TPattern& test) {
  PreparedTest t{test, {}, {}};
  if (NormalizePattern(t.Pattern)) RequantizeLevels(t.Pattern);
  ComputeSpans(t.Pattern);
  if (t.Pattern.MaxLevel != 0) ProfileLines(t.Pattern, t.Rows, t.Columns);
  return t;
}

namespace {

const PreparedReferences& Prepared(const ReferenceSet& set) {
  if (!set.Prepared.Ready) throw Error("reference set " + set.Base + " was not prepared");
  return set.Prepared;
}

// The line profiles of a reference whose set keeps none (sets narrowed down by their detail),
// kept per thread: reading a page scores the same few hundred candidates thousands of times.
// A slot is taken by the reference's address and serves it under its preparation's stamp:
// another reference in the slot, or a later one at a freed address, comes with another stamp
// and is profiled afresh. Slots are made on first use: a process reading a few characters
// pays for few of them.
struct StampedProfiles {
  const TPattern* Ref = nullptr;
  std::uint64_t Stamp = 0;
  TLineProfiles Rows, Columns;
};

const StampedProfiles& CachedProfiles(const TPattern& ref, std::uint64_t stamp) {
  constexpr std::size_t kSlots = 2048;
  thread_local std::vector<std::unique_ptr<StampedProfiles>> slots(kSlots);
  std::unique_ptr<StampedProfiles>& slot =
      slots[reinterpret_cast<std::uintptr_t>(&ref) / sizeof(TPattern) % kSlots];
  if (!slot) slot = std::make_unique<StampedProfiles>();
  if (slot->Ref != &ref || slot->Stamp != stamp) {
    ProfileLines(ref, slot->Rows, slot->Columns);
    slot->Ref = &ref;
    slot->Stamp = stamp;
  }
  return *slot;
}

// The lines reference k after `earlier` images is matched with: the settled references'
// stored profiles where the set keeps them, else the reference's profiles made here. Null for
// an empty test or reference, which scores nothing.
ReferenceLines LinesOf(const ReferenceSet& set, const PreparedReferences& prepared,
                       const PreparedTest& test, int k, std::size_t earlier) {
  const TPattern& ref = ReferenceAfter(set.Bank, prepared, k, earlier);
  if (test.Pattern.MaxLevel == 0 || ref.MaxLevel == 0) return ReferenceLines{};
  if (!prepared.Rows.empty() && earlier >= prepared.Earlier.size())
    return ReferenceLines{&prepared.Rows[k], &prepared.Columns[k]};
  const StampedProfiles& profiles = CachedProfiles(ref, prepared.Stamp);
  return ReferenceLines{&profiles.Rows, &profiles.Columns};
}

// H and V of reference k after `earlier` images, and their Mean. NoScore for an empty test or
// reference.
TScoreEntry ScoreOne(const ReferenceSet& set, const PreparedReferences& prepared,
                     const PreparedTest& test, double tally, int k, std::size_t earlier) {
  TScoreEntry e{NoScore, NoScore, 0};
  const ReferenceLines lines = LinesOf(set, prepared, test, k, earlier);
  if (lines.Rows == nullptr) return e;
  e.H = MatchSequences(test.Rows, *lines.Rows, tally);
  e.V = MatchSequences(test.Columns, *lines.Columns, tally);
  UpdateMean(e);
  return e;
}

// H, V and Mean of the admitted references.
template <typename Admits>
ScoreTable Score(const ReferenceSet& set, const PreparedTest& test, double tally, Admits admits,
                 std::size_t earlier) {
  const PreparedReferences& prepared = Prepared(set);
  ScoreTable table;
  for (int k = 1; k <= kReferenceCount; ++k)
    table[k] = admits(k) ? ScoreOne(set, prepared, test, tally, k, earlier)
                         : TScoreEntry{NoScore, NoScore, 0};
  return table;
}

void OfferScores(const ReferenceLibrary& library, std::size_t s, const ScoreTable& table,
                 const CharFilter& filter, BestThree& best) {
  const ReferenceSet& set = library.Sets[s];
  for (int k = 1; k <= kReferenceCount; ++k) {
    const double mean = table[k].Mean;
    if (!(mean > 0) || !IsCandidate(filter, set.Chars, k)) continue;
    best.Offer(LibraryMatch{static_cast<int>(s), k, mean, MappedChar(set, k)}, mean);
  }
}

}  // namespace

ScoreTable ScoreSet(const ReferenceSet& set, const PreparedTest& test, double tally,
                    const CharFilter& filter, std::size_t earlier) {
  return Score(
      set, test, tally, [&](int k) { return IsCandidate(filter, set.Chars, k); }, earlier);
}

TScoreEntry ScoreReference(const ReferenceSet& set, const PreparedTest& test, double tally,
                           int no) {
  return ScoreOne(set, Prepared(set), test, tally, no, kSettled);
}

ReferenceLines SettledLines(const ReferenceSet& set, const PreparedTest& test, int no) {
  return LinesOf(set, Prepared(set), test, no, kSettled);
}

double MeanOf(double h, double v) {
  TScoreEntry e{h, v, 0};
  UpdateMean(e);
  return e.Mean;
}

double MeanBound(const ReferenceSet& set, const PreparedTest& test, int no) {
  const TPattern& ref = ReferenceAfter(set.Bank, Prepared(set), no, kSettled);
  if (test.Pattern.MaxLevel == 0 || ref.MaxLevel == 0) return 0;
  TScoreEntry e{MatchSequencesBound(test.Rows.Count, std::min<int>(ref.RowCount, kGridSize)),
                MatchSequencesBound(test.Columns.Count, std::min<int>(ref.ColCount, kGridSize)), 0};
  UpdateMean(e);
  return e.Mean;
}

std::array<LibraryMatch, 3> RecognizeWithLibrary(const ReferenceLibrary& library,
                                                 const TPattern& test, double tally,
                                                 const CharFilter& filter, std::size_t earlier) {
  const PreparedTest prepared = PrepareTest(test);
  BestThree best;
  for (std::size_t s = 0; s < library.Sets.size(); ++s)
    OfferScores(library, s, ScoreSet(library.Sets[s], prepared, tally, filter, earlier), filter,
                best);
  return best.Matches();
}

std::array<LibraryMatch, 3> RecognizeWithLibrary(const ReferenceLibrary& library,
                                                 const std::vector<SetProbe>& probes,
                                                 const CharFilter& filter, std::size_t earlier) {
  if (probes.size() != library.Sets.size())
    throw Error("library scoring needs one probe per set: " + std::to_string(probes.size()) +
                " for " + std::to_string(library.Sets.size()) + " sets");
  const TPattern* last = nullptr;
  PreparedTest prepared;
  BestThree best;
  for (std::size_t s = 0; s < probes.size(); ++s) {
    if (probes[s].Test == nullptr) throw Error("library scoring: no pattern for a set");
    // Sets sharing image settings share one test pattern, prepared once.
    if (probes[s].Test != last) prepared = PrepareTest(*(last = probes[s].Test));
    OfferScores(library, s, ScoreSet(library.Sets[s], prepared, probes[s].Tally, filter, earlier),
                filter, best);
  }
  return best.Matches();
}

}  // namespace morvik
