#include "core/scoring.h"

#include <cstring>

#include "core/matcher.h"
#include "core/normalize.h"
#include "core/profile_cache.h"

namespace morvik {

void RefreshProfiles(TProfileCacheEntry& entry, const TPattern& ref) {
  if (entry.Valid && entry.RowCount == ref.RowCount && entry.ColCount == ref.ColCount &&
      std::memcmp(entry.Cells.data(), ref.Cells.data(), sizeof ref.Cells) == 0)
    return;
  entry.Cells = ref.Cells;
  entry.RowCount = ref.RowCount;
  entry.ColCount = ref.ColCount;
  ProfileLines(ref, entry.Rows, entry.Columns);
  entry.Valid = true;
}

const TProfileCacheEntry& ReferenceProfiles(ScoreState& state, int k, const TPattern& ref) {
  if (state.ProfileCache.size() != kReferenceCount + 1)
    state.ProfileCache.resize(kReferenceCount + 1);
  TProfileCacheEntry& entry = state.ProfileCache[static_cast<std::size_t>(k)];
  RefreshProfiles(entry, ref);
  return entry;
}

void ComputeScores(const TPatternBank& bank, double tally, ScoreState& state) {
  const TPattern& test = bank.TestPattern();
  // The test's lines are profiled once for all 40 references.
  TLineProfiles testRows, testColumns;
  if (test.MaxLevel != 0) ProfileLines(test, testRows, testColumns);
  for (int k = 1; k <= kReferenceCount; ++k) {
    TScoreEntry& e = state.ScoreTable[k];
    e.Mean = 0;
    const TPattern& ref = bank.Slot(k);
    if (test.MaxLevel != 0 && ref.MaxLevel != 0) {
      const TProfileCacheEntry& profiles = ReferenceProfiles(state, k, ref);
      e.H = MatchSequences(testRows, profiles.Rows, tally);
      e.V = MatchSequences(testColumns, profiles.Columns, tally);
    } else {
      e.H = NoScore;
      e.V = NoScore;
    }
  }
}

void UpdateMean(TScoreEntry& entry) {
  if (entry.H == NoScore || entry.V == NoScore) {
    entry.Mean = 0;
  } else {
    entry.Mean = static_cast<double>((static_cast<long double>(entry.H) + entry.V) / 2.0L);
  }
}

TRankEntry PickBest(ScoreState& state) {
  double best = 0.0;
  int number = 0;
  for (int k = 1; k <= kReferenceCount; ++k) {
    TScoreEntry& e = state.ScoreTable[k];
    if (e.Mean == -1.0) continue;
    UpdateMean(e);
    if (e.Mean > best) {
      best = e.Mean;
      number = k;
    }
  }
  return TRankEntry{static_cast<std::uint16_t>(number), best};
}

void PickTopThree(ScoreState& state, std::array<TRankEntry, 3>& ranks) {
  for (TRankEntry& rank : ranks) {
    rank = PickBest(state);
    if (rank.No != 0) state.ScoreTable[rank.No].Mean = -1.0;
  }
}

void ResetScores(ScoreState& state) {
  for (int k = 1; k <= kReferenceCount; ++k) state.ScoreTable[k] = {NoScore, NoScore, 0};
}

void RecognizeTestPattern(TPatternBank& bank, double tally, ScoreState& state) {
  ComputeBankSpans(bank);
  ComputeScores(bank, tally, state);
  PickTopThree(state, state.TopThree);
  state.BestNo = state.TopThree[0].No;
  state.BestScore = state.TopThree[0].Score;
}

}  // namespace morvik
