// Normalisation and span counts: the weighted counts, the shift to the top-left corner, the
// level stretch with its re-quantisation, the bank pass and patterns from foreign files.
#include "core/normalize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace morvik {
namespace {

using test::Picture;

struct SpanCase {
  std::vector<int> marked;  // marked lines
  int count;
};

class SpanCountTest : public testing::TestWithParam<SpanCase> {};

TEST_P(SpanCountTest, RowsAndColumnsCountAlike) {
  TPattern rows, cols;
  for (int i : GetParam().marked) {
    rows.At(i, 1) = {1, 50};
    cols.At(1, i) = {1, 50};
  }
  ComputeSpans(rows);
  ComputeSpans(cols);
  EXPECT_EQ(rows.RowCount, GetParam().count);
  EXPECT_EQ(rows.ColCount, 1);
  EXPECT_EQ(cols.ColCount, GetParam().count);
  EXPECT_EQ(cols.RowCount, 1);
  EXPECT_EQ(rows.MaxLevel, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SpanCountTest,
    testing::Values(SpanCase{{1, 2, 4}, 4}, SpanCase{{1, 4}, 3}, SpanCase{{2, 3}, 3},
                    SpanCase{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 16},
                    SpanCase{{1, 3, 5, 7, 9, 11, 13, 15}, 15}, SpanCase{{16}, 2}, SpanCase{{1}, 1},
                    SpanCase{{1, 16}, 3}));

TEST(ComputeSpans, OnlyMarkDecidesWhetherALineCountsAndEmptyGivesZeros) {
  TPattern p;
  p.At(1, 1) = {1, 0};
  p.At(3, 3) = {0, 75};
  ComputeSpans(p);
  EXPECT_EQ(p.RowCount, 1);
  EXPECT_EQ(p.ColCount, 1);
  EXPECT_EQ(p.MaxLevel, 75);
  ComputeSpans(p = TPattern{});
  EXPECT_EQ(p.RowCount + p.ColCount + p.MaxLevel, 0);
}

TEST(ExtractLine, RowsRunLeftToRightColumnsTopToBottomAndLineSeventeenIsEmpty) {
  TPattern p;
  p.At(2, 5) = {1, 25};
  p.At(7, 2) = {1, 75};
  TPatternLine line;
  ExtractLine(lkRow, p, 2, line);
  EXPECT_EQ(line[4], (TPatternCell{1, 25}));
  ExtractLine(lkColumn, p, 2, line);
  EXPECT_EQ(line[6], (TPatternCell{1, 75}));
  EXPECT_TRUE(LineHasMark(line));
  for (TPatternCell& c : p.Cells) c = {1, 100};
  for (TLineKind kind : {lkRow, lkColumn}) {
    ExtractLine(kind, p, 17, line);
    EXPECT_FALSE(LineHasMark(line));
    for (const TPatternCell& c : line) EXPECT_EQ(c.Level, 0);
  }
  line.fill({0, 100});
  EXPECT_FALSE(LineHasMark(line));
}

TEST(NormalizePattern, MovesALoneCellToTheCornerAndStretchesIt) {
  TPattern p;
  p.At(5, 7) = {1, 50};
  p.MaxLevel = 50;
  EXPECT_TRUE(NormalizePattern(p));
  TPattern expected;
  expected.At(1, 1) = {1, 100};
  EXPECT_EQ(p.Cells, expected.Cells);
  EXPECT_EQ(p.MaxLevel, 100);
  EXPECT_EQ(p.RowCount, 1);
  EXPECT_EQ(p.ColCount, 1);
  RequantizeLevels(p);
  EXPECT_EQ(p.At(1, 1).Level, 100);
}

TEST(NormalizePattern, ReportsAShiftAloneAndLeavesNormalisedPatternsButRecountsThem) {
  TPattern p = Picture({"", "", "..#5", "..7", "...2"});
  const TPattern corner = Picture({"#5", "7", ".2"});
  EXPECT_TRUE(NormalizePattern(p));
  EXPECT_EQ(p.Cells, corner.Cells);
  EXPECT_EQ(p.RowCount, 3);
  EXPECT_EQ(p.ColCount, 2);
  p.RowCount = p.ColCount = 16;
  EXPECT_FALSE(NormalizePattern(p));
  EXPECT_EQ(p.Cells, corner.Cells);
  EXPECT_EQ(p.RowCount, 3);
  EXPECT_EQ(p.ColCount, 2);
}

TEST(NormalizePattern, EmptyPatternIsLeftWithItsCounts) {
  TPattern p;
  EXPECT_FALSE(NormalizePattern(p));
  EXPECT_EQ(p.RowCount, 16);
  EXPECT_EQ(p.ColCount, 16);
}

struct StretchCase {
  std::string levels;                   // row 1 of the picture
  std::vector<int> stretched, snapped;  // levels after the stretch, after re-quantising
};

class StretchTest : public testing::TestWithParam<StretchCase> {};

TEST_P(StretchTest, StretchesToHundredThenSnapsOntoTheScale) {
  TPattern p = Picture({GetParam().levels});
  EXPECT_TRUE(NormalizePattern(p));
  EXPECT_EQ(p.MaxLevel, 100);
  for (std::size_t c = 0; c < GetParam().stretched.size(); ++c)
    EXPECT_EQ(p.At(1, static_cast<int>(c) + 1).Level, GetParam().stretched[c]) << c;
  RequantizeLevels(p);
  for (std::size_t c = 0; c < GetParam().snapped.size(); ++c)
    EXPECT_EQ(p.At(1, static_cast<int>(c) + 1).Level, GetParam().snapped[c]) << c;
}

INSTANTIATE_TEST_SUITE_P(Table, StretchTest,
                         testing::Values(StretchCase{"1257", {13, 33, 67, 100}, {25, 25, 75, 100}},
                                         StretchCase{"125", {20, 50, 100}, {25, 50, 100}},
                                         StretchCase{"12", {40, 100}, {50, 100}},
                                         StretchCase{"1", {100}, {100}}));

TEST(NormalizePattern, StretchRoundsExactHalvesToEven) {
  // Levels of a foreign file: MaxLevel 40 puts 1, 3 and 5 exactly on halves.
  TPattern p;
  const std::uint8_t levels[] = {1, 3, 5, 40};
  for (int c = 0; c < 4; ++c) p.At(1, c + 1) = {1, levels[c]};
  p.MaxLevel = 40;
  NormalizePattern(p);
  EXPECT_EQ(p.At(1, 1).Level, 2);   // 2.5
  EXPECT_EQ(p.At(1, 2).Level, 8);   // 7.5
  EXPECT_EQ(p.At(1, 3).Level, 12);  // 12.5
  EXPECT_EQ(p.At(1, 4).Level, 100);
}

TEST(RequantizeLevels, SnapsEveryLevelOntoItsBandAndLeavesMarks) {
  TPattern p;
  for (int v = 0; v < 256; ++v)
    p.Cells[v] = {static_cast<std::uint8_t>(v % 2), static_cast<std::uint8_t>(v)};
  RequantizeLevels(p);
  for (int v = 0; v < 256; ++v) {
    const int want = v < 5 ? 0 : v < 11 ? 10 : v < 34 ? 25 : v < 56 ? 50 : v < 78 ? 75 : 100;
    ASSERT_EQ(p.Cells[v].Level, v == 0 ? 0 : want) << v;
    ASSERT_EQ(p.Cells[v].Mark, v % 2);
  }
}

TEST(NormalizeBank, NormalisesSlotsAndTestPatternAndRequantisesOnlyWhatChanged) {
  TPatternBank bank;
  bank.Slot(1) = Picture({"", "..1257"});
  TPattern corner = Picture({"#"});
  corner.At(1, 2) = {1, 30};  // off the scale, but the pattern needs no change
  bank.Slot(2) = corner;
  bank.Slot(40) = Picture({"", "", "", ".5"});
  bank.TestPattern() = Picture({"", ".2", ".1"});
  bank.EditPattern() = Picture({"", ".5"});
  NormalizeBank(bank);
  EXPECT_EQ(bank.Slot(1).Cells, Picture({"227#"}).Cells);
  EXPECT_EQ(bank.Slot(2).At(1, 2).Level, 30);
  EXPECT_EQ(bank.Slot(40).Cells, Picture({"#"}).Cells);
  EXPECT_EQ(bank.TestPattern().Cells, Picture({"#", "5"}).Cells);
  EXPECT_EQ(bank.TestPattern().RowCount, 2);
  EXPECT_EQ(bank.EditPattern().Cells, Picture({"", ".5"}).Cells);
  EXPECT_EQ(bank.Slot(3).RowCount, 16);  // empty slots keep their counts
}

TEST(NormalizePattern, LevelsWithoutMarksAreNotShiftedAndNothingIsReadOutside) {
  TPattern p;
  p.At(5, 5) = {0, 50};
  p.MaxLevel = 50;
  EXPECT_TRUE(NormalizePattern(p));  // stretched
  EXPECT_EQ(p.At(5, 5).Level, 100);
  EXPECT_EQ(p.At(5, 5).Mark, 0);
  EXPECT_EQ(p.RowCount + p.ColCount, 0);

  // A mark without a level below an unmarked level: the shift drops every level.
  TPattern q;
  q.At(1, 4) = {0, 50};
  q.At(3, 3) = {1, 0};
  q.MaxLevel = 50;
  EXPECT_TRUE(NormalizePattern(q));
  EXPECT_EQ(q.At(1, 1), (TPatternCell{1, 0}));
  EXPECT_EQ(q.MaxLevel, 0);
  EXPECT_EQ(q.RowCount, 1);
}

}  // namespace
}  // namespace morvik
