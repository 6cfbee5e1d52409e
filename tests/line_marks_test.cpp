// Small marks settled by their place on the line.
#include "reading/line_marks.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace morvik
