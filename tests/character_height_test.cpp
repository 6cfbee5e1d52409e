// How tall a character stands in its line: the line's capital height from the highest top down
// to the median bottom, and heights in thousandths of it.
#include "reading/character_height.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

CharBox Box(int top, int height, bool empty = false) {
  return CharBox{0, top, 10, height, false, empty};
}

TEST(CharacterHeight, LineCapHeight) {
  const struct {
    std::string Name;
    std::vector<CharBox> Chars;
    int Cap;
  } cases[] = {
      {"no characters", {}, 0},
      {"empty cells only", {Box(0, 50, true)}, 0},
      {"capitals", {Box(10, 40), Box(10, 40), Box(11, 39)}, 40},
      // Small letters and a descender: the capital sets the top, the baseline the median.
      {"mixed", {Box(10, 40), Box(22, 28), Box(22, 28), Box(22, 38)}, 40},
      // An ascender a little above the capitals sets the top.
      {"ascender", {Box(8, 42), Box(10, 40), Box(22, 28)}, 42},
      {"empty cell passed over", {Box(0, 90, true), Box(10, 40), Box(22, 28)}, 40},
      // Two characters: the lower baseline, so a descender alone does not shrink the line.
      {"two", {Box(10, 40), Box(22, 38)}, 50},
  };
  for (const auto& c : cases) EXPECT_EQ(LineCapHeight(c.Chars), c.Cap) << c.Name;
}

TEST(CharacterHeight, RelativeHeight) {
  const struct {
    int Height, Cap;
    std::uint16_t Expected;
  } cases[] = {
      {40, 40, 1000}, {28, 40, 700}, {1, 3, 333}, {2, 3, 667}, {1, 2000, 1},
      {0, 40, 0},     {40, 0, 0},    {-1, 40, 0}, {40, -5, 0}, {100000, 1, 65535},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RelativeHeight(c.Height, c.Cap), c.Expected) << c.Height << "/" << c.Cap;
}

}  // namespace
}  // namespace morvik
