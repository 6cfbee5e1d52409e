// Small marks settled by their place on the line.
#include "reading/line_marks.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace morvik {
namespace {

ReadCharacter Char(int left, int top, int width, int height, const char* best) {
  ReadCharacter c;
  c.Box = {left, top, width, height, false, false};
  for (int k = 0; k < 3 && best[k]; ++k) c.Best[k] = {0, k + 1, 0.9 - 0.1 * k, best[k]};
  return c;
}

// Letters 20 high on a baseline at 40: a dot on the baseline is a full stop when one of its
// three best is; one at mid-height, a wide one or one without a stop among its best stays.
TEST(LineMarks, DotsOnTheBaselineAreFullStops) {
  const struct {
    ReadCharacter Mark;
    char Want;
  } cases[] = {
      {Char(60, 36, 4, 4, "-.,"), '.'},  {Char(60, 37, 3, 3, "'-."), '.'},
      {Char(60, 28, 4, 4, "-.,"), '-'},   // at mid-height
      {Char(60, 36, 12, 4, "-.,"), '-'},  // wider than a quarter of the capitals
      {Char(60, 36, 4, 4, "-',"), '-'},   // no stop among the three
  };
  for (const auto& c : cases) {
    PictureReading r;
    for (int k = 0; k < 3; ++k) r.Chars.push_back(Char(10 * k, 20, 8, 20, "HHH"));
    r.Chars.push_back(c.Mark);
    ApplyLineMarks(r);
    EXPECT_EQ(ShownChar(r.Chars.back()), c.Want) << c.Mark.Box.Top << " " << c.Mark.Best[0].Char;
    EXPECT_EQ(ShownChar(r.Chars[0]), 'H');
  }
}

// After a letter, two ticks 3 wide and 8 high at 12 and at `second`: joined where they stand
// close and level and the joined box has a double quote among its three best.
TEST(LineMarks, TwoTicksSideBySideJoinAsADoubleQuote) {
  const struct {
    int Second;
    bool Space;
    const char* Joined;  // what the joined box reads as, best first
    std::string Want;
  } cases[] = {
      {18, false, "'\"-", "a\""},
      {18, true, "'\"-", "a''"},   // a word space between
      {22, false, "'\"-", "a''"},  // further apart than a tick is wide
      {18, false, "'-,", "a''"},   // the joined box is no quote
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line(3);
    line[0].Box = {0, 10, 8, 20}, line[1].Box = {12, 10, 3, 8}, line[2].Box = {c.Second, 10, 3, 8};
    line[2].Box.SpaceBefore = c.Space;
    for (RecognizedBox& r : line) r.Best[0] = {0, 1, 0.8, '\''};
    line[0].Best[0].Char = 'a';
    JoinQuoteTicks(line, [&](const CharBox&) {
      std::array<LibraryMatch, 3> best{};
      for (int k = 0; k < 3; ++k) best[k] = {0, k + 1, 0.9 - 0.1 * k, c.Joined[k]};
      return best;
    });
    std::string read;
    for (const RecognizedBox& r : line) read += r.Best[0].Char;
    EXPECT_EQ(read, c.Want) << c.Second << " " << c.Joined;
  }
}

}  // namespace
}  // namespace morvik
