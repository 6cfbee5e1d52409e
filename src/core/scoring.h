// Scoring the TestPattern against the 40 references (H over rows, V over columns) and ranking
// the best three by their mean.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/matcher.h"
#include "core/pattern_bank.h"

namespace morvik {

constexpr double NoScore = -1e9;  // a score that was not computed; compared exactly

struct TScoreEntry {
  double H = 0;     // row score 0..1, or NoScore
  double V = 0;     // column score 0..1, or NoScore
  double Mean = 0;  // 0 after scoring, (H + V) / 2 once ranked, -1.0 once picked
};

struct TRankEntry {
  std::uint16_t No = 0;  // pattern 1..40, 0 for no result
  double Score = 0;
};

// The line profiles of one reference as last scored, reused while its cells and counts stay
// as they were: a run scores many images against the same references.
struct TProfileCacheEntry {
  std::array<TPatternCell, kGridSize * kGridSize> Cells{};
  std::uint16_t RowCount = 0;
  std::uint16_t ColCount = 0;
  bool Valid = false;
  TLineProfiles Rows, Columns;
};

// Everything the scoring owns. Index 1..40 of the per-pattern table.
struct ScoreState {
  std::array<TScoreEntry, kReferenceCount + 1> ScoreTable{};  // all zero at start
  std::array<TRankEntry, 3> TopThree{};
  std::int32_t BestNo = 0;
  double BestScore = 0;
  std::vector<TProfileCacheEntry> ProfileCache;  // slots 1..40, filled by ComputeScores
};

// The line profiles of reference k (1..40) from the state's cache, made again only when the
// reference's cells or counts changed since they were made.
const TProfileCacheEntry& ReferenceProfiles(ScoreState& state, int k, const TPattern& ref);

// H and V of all 40 entries for the TestPattern, Mean 0. Needs current counts. An empty
// TestPattern scores nothing: every H and V becomes NoScore, so no stale score is ranked.
void ComputeScores(const TPatternBank& bank, double tally, ScoreState& state);

// Mean := (H + V) / 2, or 0 when either is NoScore.
void UpdateMean(TScoreEntry& entry);

// The not yet picked entry with the highest positive mean; ties to the lowest number.
TRankEntry PickBest(ScoreState& state);
void PickTopThree(ScoreState& state, std::array<TRankEntry, 3>& ranks);

// Every entry unscored: H and V NoScore, Mean 0.
void ResetScores(ScoreState& state);

// One image of a run: spans, scores, TopThree, BestNo and BestScore. Does not normalise.
void RecognizeTestPattern(TPatternBank& bank, double tally, ScoreState& state);

}  // namespace morvik
