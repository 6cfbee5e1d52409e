// What the window shows of the scores: a frame colour per reference, whether the grid shows
// the scores, the three result labels, and the "Compute" commands that fill them.
#pragma once

#include <array>
#include <string>

#include "core/colour.h"
#include "core/pattern_bank.h"
#include "core/scoring.h"

namespace morvik {

constexpr std::array<Colour, 3> RankColours = {kRed, kLime, kAqua};

struct ResultDisplay {
  std::array<Colour, kReferenceCount + 1> FrameColour;  // grey = not ranked
  bool ScoresShown = false;
  std::array<std::string, 3> ResultLabels;  // texts of the three result labels

  ResultDisplay() { FrameColour.fill(kGrey); }
};

// Frames grey and the result labels empty.
void ResetResultDisplay(ResultDisplay& display);

// The score part of "New/Empty": every entry unscored, labels empty (frames stay).
void ResetScores(ScoreState& state, ResultDisplay& display);

// The display step of "Compute": ranks, frame colours and label texts ("No.7: 0.9375").
void ShowResults(ScoreState& state, ResultDisplay& display);

// "Compute" and "Compute+Normalize" (which normalises the bank first, for good).
void ComputeCommand(TPatternBank& bank, double tally, ScoreState& state, ResultDisplay& display);
void ComputeNormalizeCommand(TPatternBank& bank, double tally, ScoreState& state,
                             ResultDisplay& display);

}  // namespace morvik
