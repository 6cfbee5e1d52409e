// The memory of readings by greys: a cut is read once per distinct greys and height, wherever
// it lies, and never confused with another; boxes past the picture's edge are clipped as cuts.
#include "reading/recognition_memo.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

// A picture of two equal 3 x 2 patches (at x 0 and x 5) and a different one (at x 10).
GreyImage Patches() {
  GreyImage g{15, 4, std::vector<std::uint8_t>(60, 255)};
  for (const int left : {0, 5, 10})
    for (int y = 1; y < 3; ++y)
      for (int x = 0; x < 3; ++x) g.Pixels[static_cast<std::size_t>(y * 15 + left + x)] = 40 + x;
  g.Pixels[1 * 15 + 11] = 0;
  return g;
}

TEST(RecognitionMemo, ReadsEachDistinctCutOnce) {
  const GreyImage grey = Patches();
  struct Case {
    const char* what;
    CharBox second;
    std::uint16_t secondHeight;
    bool readAgain;
  };
  const CharBox first{0, 1, 3, 2};
  const Case cases[] = {
      {"same box", first, 500, false},
      {"same greys elsewhere", {5, 1, 3, 2}, 500, false},
      {"same greys, other height", {5, 1, 3, 2}, 600, true},
      {"one grey differs", {10, 1, 3, 2}, 500, true},
      {"same greys, larger box", {0, 0, 3, 3}, 500, true},
      {"past the right edge, clipped to other greys", {13, 1, 4, 2}, 500, true},
  };
  for (const Case& c : cases) {
    RecognitionMemo memo;
    int reads = 0;
    const auto read = [&] {
      RecognitionMemo::Reading r{};
      r[0].No = ++reads;
      return r;
    };
    EXPECT_EQ(memo.Recall(grey, first, 500, read)[0].No, 1) << c.what;
    const RecognitionMemo::Reading again = memo.Recall(grey, c.second, c.secondHeight, read);
    EXPECT_EQ(reads, c.readAgain ? 2 : 1) << c.what;
    EXPECT_EQ(again[0].No, c.readAgain ? 2 : 1) << c.what;
  }
}

TEST(RecognitionMemo, ClipsBoxesAsCutsDo) {
  // A box reaching past the picture reads the greys inside it: the same as the clipped box.
  const GreyImage grey = Patches();
  RecognitionMemo memo;
  int reads = 0;
  const auto read = [&] {
    ++reads;
    return RecognitionMemo::Reading{};
  };
  memo.Recall(grey, CharBox{12, 0, 3, 4}, 700, read);
  memo.Recall(grey, CharBox{12, -2, 9, 8}, 700, read);
  memo.Recall(grey, CharBox{20, 0, 3, 4}, 700, read);  // wholly outside: nothing to read
  memo.Recall(grey, CharBox{-9, 0, 3, 4}, 700, read);
  EXPECT_EQ(reads, 2);
}

TEST(RecognitionMemo, KeepsEachOfManyCutsApart) {
  // 3000 cuts of 3 x 1 greys, all different, past several growths of the memo's table; and
  // the same greys at another height once more each.
  constexpr int kCuts = 3000;
  GreyImage grey{3 * kCuts, 1, std::vector<std::uint8_t>(3 * kCuts)};
  for (int k = 0; k < kCuts; ++k) {
    grey.Pixels[static_cast<std::size_t>(3 * k)] = static_cast<std::uint8_t>(k % 256);
    grey.Pixels[static_cast<std::size_t>(3 * k + 1)] = static_cast<std::uint8_t>(k / 256);
  }
  RecognitionMemo memo;
  int reads = 0;
  for (const std::uint16_t height : {500, 500, 700})
    for (int k = 0; k < kCuts; ++k) {
      const RecognitionMemo::Reading r = memo.Recall(grey, CharBox{3 * k, 0, 3, 1}, height, [&] {
        ++reads;
        RecognitionMemo::Reading read{};
        read[0].No = k;
        read[0].Set = height;
        return read;
      });
      ASSERT_EQ(r[0].No, k) << height;
      ASSERT_EQ(r[0].Set, height) << k;
    }
  EXPECT_EQ(reads, 2 * kCuts);
}

}  // namespace
}  // namespace morvik
