// Scoring and ranking: the "Compute" example, ties, empty results, a blank TestPattern after
// an earlier recognition, and the normalising variant of the command.
#include "core/scoring.h"
#include "form/result_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/matcher.h"
#include "core/normalize.h"

namespace morvik {
namespace {

// Column 1 of rows from..to marked with the level (MaxLevel set; counts come from scoring).
TPattern Column(int from, int to, int col = 1, std::uint8_t level = 100) {
  TPattern p;
  for (int r = from; r <= to; ++r) p.At(r, col) = {1, level};
  p.MaxLevel = level;
  return p;
}

// Slot 1 the test's twin, slot 3 one row longer, every other slot empty.
TPatternBank ExampleBank() {
  TPatternBank bank;
  bank.Slot(1) = Column(1, 3);
  bank.Slot(3) = Column(1, 4);
  bank.TestPattern() = Column(1, 3);
  return bank;
}

void ExpectRanks(const std::array<TRankEntry, 3>& ranks, const std::vector<TRankEntry>& want) {
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(ranks[r].No, want[r].No) << "rank " << r + 1;
    EXPECT_EQ(ranks[r].Score, want[r].Score) << "rank " << r + 1;
  }
}

TEST(Scoring, NoScoreIsMinusOneBillionExactly) {
  std::uint64_t bits;
  std::memcpy(&bits, &NoScore, sizeof bits);
  EXPECT_EQ(bits, 0xC1CDCD6500000000u);
  EXPECT_EQ(RankColours, (std::array<Colour, 3>{0x0000FF, 0x00FF00, 0xFFFF00}));
}

TEST(Scoring, ComputeShowsTheWorkedExample) {
  TPatternBank bank = ExampleBank();
  ScoreState state;
  ResultDisplay display;
  state.BestScore = 0.25;
  display.ResultLabels[2] = "stale";
  display.FrameColour[9] = kRed;
  ComputeCommand(bank, 0.75, state, display);
  const auto& t = state.ScoreTable;
  EXPECT_EQ(t[1].H, 1.0);
  EXPECT_EQ(t[1].V, 1.0);
  EXPECT_EQ(t[3].H, 0.875);
  EXPECT_EQ(t[3].V, 1.0);
  for (int k : {2, 4, 40}) {
    EXPECT_EQ(t[k].H, NoScore) << k;
    EXPECT_EQ(t[k].V, NoScore) << k;
    EXPECT_EQ(t[k].Mean, 0.0) << k;
  }
  EXPECT_EQ(t[1].Mean, -1.0);
  EXPECT_EQ(t[3].Mean, -1.0);
  EXPECT_EQ(display.ResultLabels, (std::array<std::string, 3>{"No.1: 1", "No.3: 0.9375", ""}));
  for (int k = 1; k <= 40; ++k)
    EXPECT_EQ(display.FrameColour[k], k == 1 ? kRed : k == 3 ? kLime : kGrey) << k;
  EXPECT_EQ(state.BestNo, 1);
  EXPECT_EQ(state.BestScore, 0.25);  // only a recognition sets it
  EXPECT_TRUE(display.ScoresShown);
}

TEST(Scoring, RecognitionFillsTopThreeButNeitherLabelsNorFrames) {
  TPatternBank bank = ExampleBank();
  ScoreState state;
  ResultDisplay display;
  ComputeCommand(bank, 0.75, state, display);
  RecognizeTestPattern(bank, 0.75, state);
  ResetResultDisplay(display);  // what a run shows of it: thumbnails only
  ExpectRanks(state.TopThree, {{1, 1.0}, {3, 0.9375}, {0, 0.0}});
  EXPECT_EQ(state.BestNo, 1);
  EXPECT_EQ(state.BestScore, 1.0);
  EXPECT_EQ(display.ResultLabels, (std::array<std::string, 3>{}));
  for (int k = 1; k <= 40; ++k) EXPECT_EQ(display.FrameColour[k], kGrey);
}

TEST(Scoring, ColumnMissGivesHalfTheRowScoreAndStillRanks) {
  TPatternBank bank = ExampleBank();
  bank.Slot(1) = TPattern{};
  ScoreState state;
  ResultDisplay display;
  ComputeCommand(bank, 0.76, state, display);
  EXPECT_EQ(state.ScoreTable[3].V, 0.0);
  EXPECT_EQ(display.ResultLabels[0], "No.3: 0.4375");
  RecognizeTestPattern(bank, 0.76, state);
  ExpectRanks(state.TopThree, {{3, 0.4375}, {0, 0.0}, {0, 0.0}});
}

TEST(Scoring, EqualMeansRankTheLowerNumberFirst) {
  TPatternBank bank;
  bank.TestPattern() = Column(1, 3);
  for (int k : {9, 2, 7}) bank.Slot(k) = Column(1, 3);
  bank.Slot(1) = Column(1, 4);
  ScoreState state;
  ResultDisplay display;
  RecognizeTestPattern(bank, 0.75, state);
  ExpectRanks(state.TopThree, {{2, 1.0}, {7, 1.0}, {9, 1.0}});
}

TEST(Scoring, NothingPositiveRanksNothing) {
  TPatternBank bank = ExampleBank();
  ScoreState state;
  ResultDisplay display;
  state.BestScore = 0.5;
  RecognizeTestPattern(bank, 1.01, state);  // no comparison can match
  ExpectRanks(state.TopThree, {{0, 0.0}, {0, 0.0}, {0, 0.0}});
  EXPECT_EQ(state.BestNo, 0);
  EXPECT_EQ(state.BestScore, 0.0);
  for (int k = 1; k <= 40; ++k) EXPECT_NE(state.ScoreTable[k].Mean, -1.0) << k;
  ComputeCommand(bank, 1.01, state, display);
  EXPECT_EQ(display.ResultLabels, (std::array<std::string, 3>{}));
  for (int k = 1; k <= 40; ++k) EXPECT_EQ(display.FrameColour[k], kGrey);
}

TEST(Scoring, FreshOrResetTableRanksNothing) {
  ScoreState state;
  ResultDisplay display;
  std::array<TRankEntry, 3> ranks;
  PickTopThree(state, ranks);
  ExpectRanks(ranks, {{0, 0.0}, {0, 0.0}, {0, 0.0}});
  state.ScoreTable[5] = {0.5, 0.5, -1.0};
  display.FrameColour[5] = kRed;
  display.ResultLabels = {"a", "b", "c"};
  ResetScores(state, display);
  for (int k = 1; k <= 40; ++k) {
    EXPECT_EQ(state.ScoreTable[k].H, NoScore);
    EXPECT_EQ(state.ScoreTable[k].V, NoScore);
    EXPECT_EQ(state.ScoreTable[k].Mean, 0.0);
  }
  EXPECT_EQ(display.ResultLabels, (std::array<std::string, 3>{}));
  EXPECT_EQ(display.FrameColour[5], kRed);  // frames are the caller's business
  PickTopThree(state, ranks);
  ExpectRanks(ranks, {{0, 0.0}, {0, 0.0}, {0, 0.0}});
}

TEST(Scoring, BlankTestPatternAfterARecognitionRanksNothing) {
  TPatternBank bank = ExampleBank();
  for (int k = 4; k <= 8; ++k) bank.Slot(k) = Column(1, 2 + k % 3);
  ScoreState state;
  ResultDisplay display;
  RecognizeTestPattern(bank, 0.75, state);
  ASSERT_EQ(state.BestNo, 1);
  ResetPattern(bank.TestPattern());
  RecognizeTestPattern(bank, 0.75, state);
  ExpectRanks(state.TopThree, {{0, 0.0}, {0, 0.0}, {0, 0.0}});
  EXPECT_EQ(state.BestNo, 0);
  EXPECT_EQ(state.BestScore, 0.0);
  for (int k = 1; k <= 40; ++k) {
    EXPECT_EQ(state.ScoreTable[k].H, NoScore) << k;
    EXPECT_EQ(state.ScoreTable[k].V, NoScore) << k;
    EXPECT_EQ(state.ScoreTable[k].Mean, 0.0) << k;
  }
  ComputeCommand(bank, 0.75, state, display);
  EXPECT_EQ(state.BestNo, 0);
  EXPECT_EQ(display.ResultLabels, (std::array<std::string, 3>{}));
}

TEST(Scoring, ShowResultsWritesSixDigitLabelsAndRankColours) {
  ScoreState state;
  ResultDisplay display;
  const double fiveTwelfths = 0.4166666666666667;
  state.ScoreTable[3] = {fiveTwelfths, fiveTwelfths, 0};
  state.ScoreTable[7] = {0.875, 1.0, 0};
  state.ScoreTable[12] = {1.0, 1.0, 0};
  ShowResults(state, display);
  EXPECT_EQ(display.ResultLabels,
            (std::array<std::string, 3>{"No.12: 1", "No.7: 0.9375", "No.3: 0.416667"}));
  EXPECT_EQ(display.FrameColour[12], kRed);
  EXPECT_EQ(display.FrameColour[7], kLime);
  EXPECT_EQ(display.FrameColour[3], kAqua);
  EXPECT_EQ(state.BestNo, 12);
}

TEST(Scoring, ScoresFollowEveryChangeOfAReference) {
  // Scores of a changed reference must be its own, not those of what the slot held before.
  TPatternBank bank;
  bank.TestPattern() = Column(1, 5);
  for (int k = 1; k <= 40; ++k) bank.Slot(k) = Column(1, 1 + k % 9, 1, k % 2 ? 100 : 50);
  ScoreState state;
  ResultDisplay display;
  auto expectOwnScores = [&] {
    ComputeBankSpans(bank);
    ComputeScores(bank, 0.75, state);
    for (int k = 1; k <= 40; ++k) {
      EXPECT_EQ(state.ScoreTable[k].H,
                MatchSequences(lkRow, bank.TestPattern(), bank.Slot(k), 0.75));
      EXPECT_EQ(state.ScoreTable[k].V,
                MatchSequences(lkColumn, bank.TestPattern(), bank.Slot(k), 0.75));
    }
  };
  expectOwnScores();
  bank.Slot(4).At(2, 1).Level = 10;  // same marks and counts, another level
  bank.Slot(5).At(3, 2) = {1, 100};  // another column
  bank.Slot(6) = Column(1, 5, 1, 100);
  expectOwnScores();
  EXPECT_EQ(state.ScoreTable[6].H, 1.0);
  bank.Slot(6).At(3, 1) = {};  // a gap: the count stays 5, the lines change
  expectOwnScores();
  EXPECT_LT(state.ScoreTable[6].H, 1.0);
}

TEST(Scoring, ComputeScoresTheBankAsItIsAndComputeNormalizeNormalisesItForGood) {
  TPatternBank bank;
  bank.Slot(1) = Column(3, 5, 4, 50);
  bank.TestPattern() = Column(1, 3);
  ScoreState state;
  ResultDisplay display;
  ComputeCommand(bank, 0.75, state, display);
  EXPECT_LT(state.ScoreTable[1].H, 1.0);
  EXPECT_EQ(bank.Slot(1).At(3, 4).Level, 50);

  ComputeNormalizeCommand(bank, 0.75, state, display);
  EXPECT_EQ(bank.Slot(1).Cells, Column(1, 3).Cells);
  EXPECT_EQ(bank.Slot(1).RowCount, 3);
  EXPECT_EQ(state.ScoreTable[1].H, 1.0);
  EXPECT_EQ(state.ScoreTable[1].V, 1.0);
  EXPECT_EQ(display.ResultLabels[0], "No.1: 1");
}

}  // namespace
}  // namespace morvik
