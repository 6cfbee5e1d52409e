// The pattern record: level bands, clearing and copying with MaxLevel recomputation, the
// stored form of the counts and the bank reset.
#include "core/pattern.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <stdexcept>

#include "core/pattern_bank.h"

namespace morvik {
namespace {

struct BandCase {
  int intensity;
  int index;
};

class QuantizeLevelTest : public testing::TestWithParam<BandCase> {};

TEST_P(QuantizeLevelTest, GivesTheBand) {
  EXPECT_EQ(QuantizeLevel(static_cast<std::uint8_t>(GetParam().intensity)), GetParam().index);
}

// Both edges of every band, and intensities no band holds (foreign files) give the top band.
INSTANTIATE_TEST_SUITE_P(Bands, QuantizeLevelTest,
                         testing::Values(BandCase{0, 0}, BandCase{4, 0}, BandCase{5, 1},
                                         BandCase{10, 1}, BandCase{11, 2}, BandCase{25, 2},
                                         BandCase{33, 2}, BandCase{34, 3}, BandCase{50, 3},
                                         BandCase{55, 3}, BandCase{56, 4}, BandCase{75, 4},
                                         BandCase{77, 4}, BandCase{78, 5}, BandCase{100, 5},
                                         BandCase{101, 5}, BandCase{255, 5}));

TEST(QuantizeLevel, EveryIntensityLiesInItsBandAndEveryLevelValueInItsOwn) {
  for (int v = 0; v <= 100; ++v) {
    const int i = QuantizeLevel(static_cast<std::uint8_t>(v));
    EXPECT_LT(v, LevelBounds[i]) << v;
    if (i > 0) {
      EXPECT_GE(v, LevelBounds[i - 1]) << v;
    }
  }
  for (int i = 0; i < 6; ++i) EXPECT_EQ(QuantizeLevel(LevelValues[i]), i);
}

TPattern Filled(std::uint8_t level) {
  TPattern p;
  for (TPatternCell& c : p.Cells) c = {1, level};
  p.MaxLevel = level;
  p.ColCount = 7;
  p.RowCount = 9;
  return p;
}

TEST(ClearCells, ClearsTheBlockAndRecomputesMaxLevelOverAllCells) {
  TPattern p = Filled(25);
  p.At(3, 4).Level = 100;   // inside the block
  p.At(16, 16).Level = 75;  // outside it
  p.StoredCounts = {1, 2, 3, 4};
  ClearCells(2, 5, 3, 6, p);
  for (int r = 1; r <= 16; ++r)
    for (int c = 1; c <= 16; ++c) {
      const bool inside = r >= 2 && r <= 5 && c >= 3 && c <= 6;
      EXPECT_EQ(p.At(r, c).Mark, inside ? 0 : 1) << r << "," << c;
      EXPECT_EQ(p.At(r, c).Level == 0, inside) << r << "," << c;
    }
  EXPECT_EQ(p.MaxLevel, 75);
  EXPECT_EQ(p.ColCount, 7);
  EXPECT_EQ(p.RowCount, 9);
  EXPECT_EQ(p.StoredCounts, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

TEST(ClearCells, EmptyRangeClearsNothingButStillRecomputesMaxLevel) {
  for (const auto& range : {std::array<int, 4>{5, 4, 1, 16}, std::array<int, 4>{1, 16, 9, 8}}) {
    TPattern p = Filled(50);
    p.MaxLevel = 0;  // stale
    ClearCells(range[0], range[1], range[2], range[3], p);
    EXPECT_EQ(p.MaxLevel, 50);
    EXPECT_EQ(p.At(5, 9).Mark, 1);
  }
}

TEST(ClearCells, WholeGridLeavesAnEmptyPatternWithItsCounts) {
  TPattern p = Filled(100);
  ClearCells(1, 16, 1, 16, p);
  for (const TPatternCell& c : p.Cells) EXPECT_EQ(c.Mark + c.Level, 0);
  EXPECT_EQ(p.MaxLevel, 0);
  EXPECT_EQ(p.ColCount, 7);
  EXPECT_EQ(p.RowCount, 9);
}

TEST(CopyPattern, TargetGetsTheTrueMaximumAndTheCountsButNotTheStoredCounts) {
  TPattern source;
  source.At(16, 1) = {1, 75};
  source.At(1, 16) = {1, 10};
  source.MaxLevel = 10;  // stale
  source.ColCount = 3;
  source.RowCount = 12;
  source.StoredCounts = {9, 9, 9, 9};
  TPattern target = Filled(100);
  target.StoredCounts = {1, 0, 2, 0};
  CopyPattern(source, target);
  EXPECT_EQ(target.Cells, source.Cells);
  EXPECT_EQ(target.MaxLevel, 75);
  EXPECT_EQ(source.MaxLevel, 10);
  EXPECT_EQ(target.ColCount, 3);
  EXPECT_EQ(target.RowCount, 12);
  EXPECT_EQ(target.StoredCounts, (std::array<std::uint8_t, 4>{1, 0, 2, 0}));
}

TEST(Counts, UnpackReadsLittleEndianAndTurnsZeroIntoSixteen) {
  struct Case {
    std::array<std::uint8_t, 4> stored;
    int col, row;
  };
  for (const Case& c : {Case{{0, 0, 0, 0}, 16, 16}, Case{{3, 0, 0, 0}, 3, 16},
                        Case{{0, 0, 5, 0}, 16, 5}, Case{{2, 1, 0, 1}, 258, 256}}) {
    TPattern p;
    p.StoredCounts = c.stored;
    UnpackCounts(p);
    EXPECT_EQ(p.ColCount, c.col);
    EXPECT_EQ(p.RowCount, c.row);
  }
}

TEST(Counts, PackWritesLowByteFirstAndRoundTripsEveryCount) {
  TPattern p;
  p.ColCount = 0x0102;
  p.RowCount = 0x0304;
  PackCounts(p);
  EXPECT_EQ(p.StoredCounts, (std::array<std::uint8_t, 4>{2, 1, 4, 3}));
  for (int col = 1; col <= 16; ++col)
    for (int row = 1; row <= 16; ++row) {
      p.ColCount = static_cast<std::uint16_t>(col);
      p.RowCount = static_cast<std::uint16_t>(row);
      PackCounts(p);
      p.ColCount = p.RowCount = 0;
      UnpackCounts(p);
      ASSERT_EQ(p.ColCount, col);
      ASSERT_EQ(p.RowCount, row);
    }
}

TEST(Bank, StartsEmptyWithCountsSixteenAndResetLeavesTheEditPattern) {
  TPatternBank bank;
  for (int k : {1, 40, kTestSlot, kEditSlot}) {
    EXPECT_EQ(bank.Slot(k).MaxLevel, 0);
    EXPECT_EQ(bank.Slot(k).ColCount, 16);
    EXPECT_EQ(bank.Slot(k).RowCount, 16);
  }
  for (int k : {1, 17, 40, kTestSlot, kEditSlot}) {
    bank.Slot(k) = Filled(50);
    bank.Slot(k).StoredCounts = {0, 0, 0, 0};
  }
  ResetBank(bank);
  for (int k : {1, 17, 40, kTestSlot}) {
    for (const TPatternCell& c : bank.Slot(k).Cells) ASSERT_EQ(c.Mark + c.Level, 0);
    EXPECT_EQ(bank.Slot(k).MaxLevel, 0);
    EXPECT_EQ(bank.Slot(k).ColCount, 16);
    EXPECT_EQ(bank.Slot(k).RowCount, 16);
  }
  EXPECT_EQ(bank.EditPattern().MaxLevel, 50);
  EXPECT_EQ(bank.EditPattern().At(8, 8).Level, 50);
  EXPECT_EQ(bank.EditPattern().ColCount, 7);
}

// A bank over shared references reads them until a slot is changed; then it changes a copy of
// its own, and neither the shared patterns nor other banks over them see it.
TEST(Bank, ReadsSharedReferencesUntilOneIsChanged) {
  auto refs = std::make_shared<std::array<TPattern, kReferenceCount>>();
  for (int k = 0; k < kReferenceCount; ++k) (*refs)[static_cast<std::size_t>(k)] = Filled(k + 1);
  const TPatternBank shared(std::shared_ptr<const TPattern>(refs, refs->data()));
  TPatternBank bank = shared;
  const TPatternBank& read = bank;
  const TPattern& before = read.Slot(40);
  EXPECT_TRUE(bank.Shares());
  EXPECT_EQ(&before, &(*refs)[39]);
  for (int k : {1, 40}) EXPECT_EQ(read.Slot(k).At(8, 8).Level, k);
  for (int k : {0, kTestSlot, kEditSlot}) EXPECT_EQ(read.Slot(k).MaxLevel, 0) << k;
  EXPECT_THROW(read.Slot(kEditSlot + 1), std::out_of_range);
  bank.Slot(40).At(8, 8).Level = 99;
  EXPECT_FALSE(bank.Shares());
  EXPECT_EQ(read.Slot(40).At(8, 8).Level, 99);
  EXPECT_EQ(read.Slot(39).At(8, 8).Level, 39);  // the others copied
  EXPECT_EQ(before.At(8, 8).Level, 40);         // what was read before stays readable
  EXPECT_EQ(shared.Slot(40).At(8, 8).Level, 40);
  TPatternBank copy = bank;
  copy.Slot(40).At(8, 8).Level = 7;
  EXPECT_EQ(read.Slot(40).At(8, 8).Level, 99);
  TPatternBank moved = std::move(copy);
  EXPECT_EQ(moved.Slot(40).At(8, 8).Level, 7);
}

TEST(AddClamped, AddsThenHoldsInRange) {
  struct Case {
    int value, delta, low, high, expected;
  };
  for (const Case& c : {Case{3, 1, 0, 5, 4}, Case{5, 1, 0, 5, 5}, Case{0, -1, 0, 5, 0},
                        Case{10, -30, -5, 5, -5}, Case{250, 10, 0, 255, 255}}) {
    int v = c.value;
    AddClamped(v, c.delta, c.low, c.high);
    EXPECT_EQ(v, c.expected);
  }
}

}  // namespace
}  // namespace morvik
