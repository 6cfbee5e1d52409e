// The two forms of the block checks a pack is opened with, and of the grey-run test of a
// picture's rows, give the same answers: on random blocks and on blocks one byte past a limit
// at every place (the forms differ in how they reach each byte).
#include "library/pack_blocks.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "segment/grey_image.h"

namespace morvik {
namespace {

TEST(PackBlocks, BothFormsAgree) {
  std::mt19937 random(1412);
  std::array<std::uint8_t, kPackCellBytes> cells{};
  auto expectAgree = [&](const char* what, std::size_t at) {
    bool marked = false, markedPlain = false;
    CellSpans spans, spansPlain;
    const bool valid = CellsValid(cells.data(), marked, spans);
    EXPECT_EQ(valid, CellsValidPlain(cells.data(), markedPlain, spansPlain))
        << what << " at " << at;
    EXPECT_EQ(marked, markedPlain) << what << " at " << at;
    auto expectSpans = [&](const CellSpans& s) {
      EXPECT_EQ(s.MaxLevel, spansPlain.MaxLevel) << what << " at " << at;
      EXPECT_EQ(s.ColCount, spansPlain.ColCount) << what << " at " << at;
      EXPECT_EQ(s.RowCount, spansPlain.RowCount) << what << " at " << at;
    };
    if (valid) expectSpans(spans);
#if defined(__SSE2__)
    bool markedSse2 = false;
    CellSpans spansSse2;
    EXPECT_EQ(valid, CellsValidSse2(cells.data(), markedSse2, spansSse2)) << what << " at " << at;
    EXPECT_EQ(markedSse2, markedPlain) << what << " at " << at;
    if (valid) expectSpans(spansSse2);
#endif
    EXPECT_EQ(GridSum(cells.data()), GridSumPlain(cells.data())) << what << " at " << at;
  };
  // Each byte alone at the edge of its limit and past it: marks 1, 2; levels 100, 101, 255.
  const struct {
    std::size_t parity;
    std::uint8_t value;
  } edges[] = {{0, 1}, {0, 2}, {0, 255}, {1, 100}, {1, 101}, {1, 255}};
  for (const auto& e : edges)
    for (std::size_t at = e.parity; at < cells.size(); at += 2) {
      cells.fill(0);
      cells[at] = e.value;
      expectAgree("edge", at);
    }
  for (std::size_t round = 0; round < 2000; ++round) {
    // Sparse marks too, so that whole rows and columns stay empty and the spans vary.
    const unsigned sparse = 1 + round % 40;
    for (std::size_t k = 0; k < cells.size(); k += 2) {
      cells[k] = static_cast<std::uint8_t>(random() % sparse == 0);
      cells[k + 1] = static_cast<std::uint8_t>(random() % 101);
    }
    if (round % 2) cells[random() % cells.size()] = static_cast<std::uint8_t>(random());
    expectAgree("random", round);
  }
  bool marked = true;
  cells.fill(0);
  CellSpans spans;
  EXPECT_TRUE(CellsValid(cells.data(), marked, spans));
  EXPECT_TRUE(marked) << "an empty block leaves marked as it was";
}

TEST(GreyRuns, BothFormsAgree) {
  std::mt19937 random(1413);
  std::array<std::uint8_t, 3 * 16 + 1> row{};
  for (int pixel = 0; pixel < 16; ++pixel)
    for (int channel = 0; channel < 3; ++channel) {
      row.fill(77);
      row[3 * pixel + channel] = 78;  // one channel of one pixel off grey
      EXPECT_FALSE(GreyRun(row.data())) << pixel << "," << channel;
      EXPECT_FALSE(GreyRunPlain(row.data())) << pixel << "," << channel;
    }
  for (int round = 0; round < 2000; ++round) {
    for (std::size_t k = 0; k + 1 < row.size(); k += 3)
      row[k] = row[k + 1] = row[k + 2] = static_cast<std::uint8_t>(random());
    row.back() = static_cast<std::uint8_t>(random());  // the byte past the run is no part of it
    if (round % 2)
      row[random() % (row.size() - 1)] ^= static_cast<std::uint8_t>(1 + random() % 255);
    EXPECT_EQ(GreyRun(row.data()), GreyRunPlain(row.data())) << "round " << round;
  }
}

}  // namespace
}  // namespace morvik
