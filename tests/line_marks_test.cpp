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

RecognizedBox Tick(int left, int top, int height, bool space = false) {
  RecognizedBox r;
  r.Box = {left, top, 3, height, space, false};
  r.Best[0] = {0, 1, 0.8, '\''};
  return r;
}

// Two ticks of a line at 10, 8 high, after a letter: joined where they stand close and level
// and the joined box reads as a double quote among its three best.
TEST(LineMarks, TwoTicksSideBySideJoinAsADoubleQuote) {
  const struct {
    RecognizedBox Second;
    const char* Joined;  // what the joined box reads as, best first
    std::string Want;
  } cases[] = {
      {Tick(18, 10, 8), "\"'-", "a\""},        // the quote second best: moved to the front
      {Tick(18, 10, 8, true), "\"'-", "a''"},  // a word space between
      {Tick(22, 10, 8), "\"'-", "a''"},        // further apart than a tick is wide
      {Tick(18, 14, 8), "\"'-", "a''"},        // one lower than the other
      {Tick(18, 10, 8), "'-,", "a''"},         // the joined box is no quote
  };
  for (const auto& c : cases) {
    RecognizedBox letter = Tick(0, 10, 20);
    letter.Best[0].Char = 'a';
    std::vector<RecognizedBox> line = {letter, Tick(12, 10, 8), c.Second};
    const BoxRecognizer recognize = [&](const CharBox&) {
      std::array<LibraryMatch, 3> best{};
      for (int k = 0; k < 3; ++k) best[k] = {0, k + 1, 0.9 - 0.1 * k, c.Joined[k]};
      return best;
    };
    JoinQuoteTicks(line, recognize);
    std::string read;
    for (const RecognizedBox& r : line) read += r.Best[0].Char;
    EXPECT_EQ(read, c.Want) << c.Second.Box.Left << " " << c.Joined;
  }
}

}  // namespace
}  // namespace morvik
