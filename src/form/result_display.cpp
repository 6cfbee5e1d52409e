#include "form/result_display.h"

#include "core/normalize.h"
#include "core/number_format.h"

namespace morvik {

void ResetResultDisplay(ResultDisplay& display) {
  display.FrameColour.fill(kGrey);
  for (std::string& label : display.ResultLabels) label.clear();
}

void ResetScores(ScoreState& state, ResultDisplay& display) {
  ResetScores(state);
  for (std::string& label : display.ResultLabels) label.clear();
}

void ShowResults(ScoreState& state, ResultDisplay& display) {
  std::array<TRankEntry, 3> ranks;
  PickTopThree(state, ranks);
  state.BestNo = ranks[0].No;
  for (int r = 0; r < 3; ++r) {
    if (!(ranks[r].Score > 0)) continue;
    display.FrameColour[ranks[r].No] = RankColours[r];
    display.ResultLabels[r] =
        "No." + std::to_string(ranks[r].No) + ": " + FormatGeneral(ranks[r].Score, 6);
  }
}

void ComputeCommand(TPatternBank& bank, double tally, ScoreState& state, ResultDisplay& display) {
  ResetResultDisplay(display);
  ComputeBankSpans(bank);
  ComputeScores(bank, tally, state);
  ShowResults(state, display);
  display.ScoresShown = true;
}

void ComputeNormalizeCommand(TPatternBank& bank, double tally, ScoreState& state,
                             ResultDisplay& display) {
  NormalizeBank(bank);
  ComputeCommand(bank, tally, state, display);
}

}  // namespace morvik
