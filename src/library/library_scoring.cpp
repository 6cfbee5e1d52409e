#include "library/library_scoring.h"

#include <cstring>

#include "core/error.h"
#include "core/normalize.h"

namespace morvik {

namespace {

bool SamePattern(const TPattern& a, const TPattern& b) {
  return std::memcmp(a.Cells.data(), b.Cells.data(), sizeof a.Cells) == 0 &&
         a.MaxLevel == b.MaxLevel && a.StoredCounts == b.StoredCounts && a.RowCount == b.RowCount &&
         a.ColCount == b.ColCount;
}

// The references as every image of a run leaves them: normalised (re-quantised where that
// changed them), then counted. The pass depends on nothing but the references, so once it
// has changed nothing it never will again and is skipped from then on.
void PrepareReferences(ReferenceSet& set) {
  if (set.Settled) return;
  std::array<TPattern, kReferenceCount + 1> before;
  for (int k = 1; k <= kReferenceCount; ++k) before[k] = set.Bank.Slot(k);
  for (int k = 1; k <= kReferenceCount; ++k)
    if (NormalizePattern(set.Bank.Slot(k))) RequantizeLevels(set.Bank.Slot(k));
  for (int k = 1; k <= kReferenceCount; ++k) ComputeSpans(set.Bank.Slot(k));
  set.Settled = true;
  for (int k = 1; k <= kReferenceCount; ++k)
    set.Settled = set.Settled && SamePattern(before[k], set.Bank.Slot(k));
}

// The test as the run's normalising and counting leave slot 41.
TPattern PrepareTest(const TPattern& test) {
  TPattern t = test;
  if (NormalizePattern(t)) RequantizeLevels(t);
  ComputeSpans(t);
  return t;
}

// The test's lines, profiled once for every set.
struct PreparedTest {
  TPattern Pattern;
  TLineProfiles Rows, Columns;
};

PreparedTest Prepare(const TPattern& test) {
  PreparedTest t{PrepareTest(test), {}, {}};
  if (t.Pattern.MaxLevel != 0) ProfileLines(t.Pattern, t.Rows, t.Columns);
  return t;
}

// ComputeScores and UpdateMean for the references admitted; the others are not scored
// (NoScore), which saves their matching when a filter leaves few.
// With `cached` the references' profiles are kept in the set's scores for the next test, as
// a run does; without, they are made for this scoring only, which spares a set that is
// scored for a few references the cache's memory (40 profiles, over 100 KB).
template <typename Admits>
void ScorePrepared(ReferenceSet& set, const PreparedTest& test, double tally, Admits admits,
                   bool cached = true) {
  PrepareReferences(set);
  set.Bank.TestPattern() = test.Pattern;
  for (int k = 1; k <= kReferenceCount; ++k) {
    TScoreEntry& e = set.Scores.ScoreTable[k];
    const TPattern& ref = set.Bank.Slot(k);
    e = TScoreEntry{NoScore, NoScore, 0};
    if (test.Pattern.MaxLevel == 0 || ref.MaxLevel == 0 || !admits(k)) continue;
    if (cached) {
      const TProfileCacheEntry& profiles = ReferenceProfiles(set.Scores, k, ref);
      e.H = MatchSequences(test.Rows, profiles.Rows, tally);
      e.V = MatchSequences(test.Columns, profiles.Columns, tally);
    } else {
      TLineProfiles rows, columns;
      ProfileLines(ref, rows, columns);
      e.H = MatchSequences(test.Rows, rows, tally);
      e.V = MatchSequences(test.Columns, columns, tally);
    }
    UpdateMean(e);
  }
}

// Puts the match into its place among the best three. Candidates arrive in set and number
// order, so only a strictly higher mean passes one already placed.
void Place(const LibraryMatch& match, std::array<LibraryMatch, 3>& best) {
  for (std::size_t p = 0; p < best.size(); ++p) {
    if (best[p].No != 0 && !(match.Score > best[p].Score)) continue;
    for (std::size_t q = best.size() - 1; q > p; --q) best[q] = best[q - 1];
    best[p] = match;
    return;
  }
}

void ScorePrepared(ReferenceSet& set, const PreparedTest& test, double tally,
                   const CharFilter& filter) {
  ScorePrepared(set, test, tally, [&](int k) { return IsCandidate(filter, set.Chars, k); });
}

}  // namespace

void ScoreSet(ReferenceSet& set, const TPattern& test, double tally, const CharFilter& filter) {
  ScorePrepared(set, Prepare(test), tally, filter);
}

void ScoreSet(ReferenceSet& set, const TPattern& test, double tally, const ReferenceMask& only) {
  ScorePrepared(
      set, Prepare(test), tally, [&](int k) { return only.test(static_cast<std::size_t>(k)); },
      false);
}

std::array<LibraryMatch, 3> RankLibrary(const ReferenceLibrary& library, const CharFilter& filter) {
  std::array<LibraryMatch, 3> best{};
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    for (int k = 1; k <= kReferenceCount; ++k) {
      const double mean = set.Scores.ScoreTable[k].Mean;
      if (!(mean > 0) || !IsCandidate(filter, set.Chars, k)) continue;
      const char c = set.Chars.CharMapLoaded ? set.Chars.CharMap[k] : 0;
      Place(LibraryMatch{static_cast<int>(s), k, mean, c}, best);
    }
  }
  return best;
}

std::array<LibraryMatch, 3> RecognizeWithLibrary(ReferenceLibrary& library, const TPattern& test,
                                                 double tally, const CharFilter& filter) {
  const PreparedTest prepared = Prepare(test);
  for (ReferenceSet& set : library.Sets) ScorePrepared(set, prepared, tally, filter);
  return RankLibrary(library, filter);
}

std::array<LibraryMatch, 3> RecognizeWithLibrary(ReferenceLibrary& library,
                                                 const std::vector<SetProbe>& probes,
                                                 const CharFilter& filter) {
  if (probes.size() != library.Sets.size())
    throw Error("library scoring needs one probe per set: " + std::to_string(probes.size()) +
                " for " + std::to_string(library.Sets.size()) + " sets");
  const TPattern* last = nullptr;
  PreparedTest prepared;
  for (std::size_t s = 0; s < probes.size(); ++s) {
    if (probes[s].Test == nullptr) throw Error("library scoring: no pattern for a set");
    // Sets sharing image settings share one test pattern, prepared once.
    if (probes[s].Test != last) prepared = Prepare(*(last = probes[s].Test));
    ScorePrepared(library.Sets[s], prepared, probes[s].Tally, filter);
  }
  return RankLibrary(library, filter);
}

}  // namespace morvik
