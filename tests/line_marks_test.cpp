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
// three best is; one at mid-height, a wide one or one without a stop among its best stays. A
// comma standing in the upper half of the capitals is a quote.
TEST(LineMarks, MarksSettledByTheirPlace) {
  const struct {
    ReadCharacter Mark;
    char Want;
  } cases[] = {
      {Char(60, 36, 4, 4, "-.,"), '.'},  {Char(60, 37, 3, 3, "'-."), '.'},
      {Char(60, 36, 6, 4, ",.-"), '.'},   // a pixel wider than high, small print's
      {Char(60, 37, 6, 4, ",.-"), ','},   // ... but reaching below the baseline
      {Char(60, 20, 3, 6, ",'-"), '\''},  // a comma's shape up at the capitals' top
      {Char(60, 36, 3, 6, ",'-"), ','},   // one hanging from the baseline
      {Char(60, 28, 4, 4, "-.,"), '-'},   // at mid-height
      {Char(60, 36, 12, 4, "-.,"), '-'},  // wider than a third of the capitals
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

// A box read as `chars` in turn, best first, scores falling by a tenth.
std::array<LibraryMatch, 3> BestOf(const char* chars) {
  std::array<LibraryMatch, 3> best{};
  for (int k = 0; k < 3; ++k) best[k] = {0, k + 1, 0.9 - 0.1 * k, chars[k]};
  return best;
}

std::string Read(const std::vector<RecognizedBox>& line) {
  std::string read;
  for (const RecognizedBox& r : line) read += r.Best[0].Char;
  return read;
}

// After three letters 20 high, two ticks 3 wide and 8 high at 32 and at `second`, read as `Read`:
// joined where they stand close and level, both read as quotes or both in the upper half of
// the letters, and the joined box has a double quote among its three best.
TEST(LineMarks, TwoTicksSideBySideJoinAsADoubleQuote) {
  const struct {
    int Second;
    bool Space;
    const char* Joined;  // what the joined box reads as, best first
    std::string Want;
    const char* Read = "''";
    int Top = 10;
  } cases[] = {
      {38, false, "'\"-", "abc\""},
      {38, true, "'\"-", "abc''"},         // a word space between
      {42, false, "'\"-", "abc''"},        // further apart than a tick is wide
      {38, false, "'-,", "abc''"},         // the joined box is no quote
      {38, false, "'\"-", "abc\"", "'r"},  // a raised tick read as a letter
      {38, false, "'\"-", "abc\"", ",'"},
      {38, false, "'\"-", "abcr'", "r'", 22},  // a letter on the baseline beside a tick
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line(5);
    for (int k = 0; k < 3; ++k)
      line[k] = {{10 * k, 10, 8, 20}, {LibraryMatch{0, 1, 0.8, "abc"[k]}}};
    line[3].Box = {32, c.Top, 3, 8}, line[4].Box = {c.Second, c.Top, 3, 8};
    line[4].Box.SpaceBefore = c.Space;
    for (int k = 3; k < 5; ++k) line[k].Best[0] = {0, 1, 0.8, c.Read[k - 3]};
    JoinQuoteTicks(line, [&](const CharBox&) { return BestOf(c.Joined); });
    const std::string read = Read(line);
    EXPECT_EQ(read, c.Want) << c.Second << " " << c.Joined << " " << c.Read;
  }
}

// Letters 20 high (capitals), a dot 3 x 3 on the baseline at `Dot` read as `Read`, then an s
// 6 wide at 40 read 0.5: joined where the dot reaches into the s's columns with no space
// between and the joined box reads as a letter better than the s alone.
TEST(LineMarks, ADotBrokenOffTheNextLetterJoinsIt) {
  const struct {
    int Dot;
    bool Space;
    char Read, Joined;
    double Score;
    std::string Want;
  } cases[] = {
      {38, false, '.', 's', 0.8, "abcs"},   // reaching into the s: a piece of it
      {36, false, '.', 's', 0.8, "abc.s"},  // clear of it: a full stop
      {38, true, '.', 's', 0.8, "abc.s"},   // a space between
      {38, false, '.', '-', 0.8, "abc.s"},  // the joined box is no letter
      {38, false, '.', 's', 0.4, "abc.s"},  // ... or reads worse than the s
      {38, false, '-', 's', 0.8, "abc-s"},  // not a dot
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line(5);
    for (int k = 0; k < 3; ++k)
      line[k] = {{10 * k, 10, 8, 20}, {LibraryMatch{0, 1, 0.8, "abc"[k]}}};
    line[3] = {{c.Dot, 27, 3, 3}, {LibraryMatch{0, 1, 0.8, c.Read}}};
    line[4] = {{40, 20, 6, 10}, {LibraryMatch{0, 1, 0.5, 's'}}};
    line[4].Box.SpaceBefore = c.Space;
    JoinStrayDots(line, [&](const CharBox&) {
      return std::array<LibraryMatch, 3>{LibraryMatch{0, 2, c.Score, c.Joined}};
    });
    const std::string read = Read(line);
    EXPECT_EQ(read, c.Want) << c.Dot << " " << c.Space << " " << c.Read << c.Joined << c.Score;
  }
}

// After three letters 20 high, two dots 3 x 3 read as full stops, the second at (`Left`,
// `Top`), the first at (30, 27): joined where their columns overlap and one stands above the
// other, no space between, and the joined box has a colon or semicolon among its three best.
TEST(LineMarks, TwoDotsOneAboveTheOtherJoinAsAColon) {
  const struct {
    int Left, Top;
    bool Space;
    const char* Joined;
    std::string Want;
  } cases[] = {
      {31, 19, false, ".:'", "abc:"},   // a column apart: a colon
      {31, 19, false, ",;.", "abc;"},   // a semicolon
      {34, 19, false, ".:'", "abc.."},  // columns apart: two marks
      {31, 19, true, ".:'", "abc.."},   // a space between
      {31, 25, false, ".:'", "abc.."},  // rows overlapping: side by side
      {31, 19, false, ".-'", "abc.."},  // the joined box is no colon
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line(5);
    for (int k = 0; k < 3; ++k)
      line[k] = {{10 * k, 10, 8, 20}, {LibraryMatch{0, 1, 0.8, "abc"[k]}}};
    line[3] = {{30, 27, 3, 3}, {LibraryMatch{0, 1, 0.8, '.'}}};
    line[4] = {{c.Left, c.Top, 3, 3}, {LibraryMatch{0, 1, 0.8, '.'}}};
    line[4].Box.SpaceBefore = c.Space;
    JoinStackedDots(line, [&](const CharBox&) { return BestOf(c.Joined); });
    const std::string read = Read(line);
    EXPECT_EQ(read, c.Want) << c.Left << " " << c.Top << " " << c.Space << " " << c.Joined;
  }
}

// Capitals 20 high, then a letter read as `Letter` and a one `Height` high after it: joined
// where the one is shorter than the capitals, no space between, and the joined box reads as a
// letter better than the one (0.5).
TEST(LineMarks, AShortOneAfterALetterJoinsIt) {
  const struct {
    char Letter;
    int Height;
    bool Space;
    const char* Joined;
    double Score;
    std::string Want;
  } cases[] = {
      {'t', 12, false, "hb1", 0.8, "ABCh"},   // a stem cut off an h
      {'t', 20, false, "hb1", 0.8, "ABCt1"},  // as high as the capitals: a figure
      {'t', 12, true, "hb1", 0.8, "ABCt1"},   // a space between
      {'2', 12, false, "hb1", 0.8, "ABC21"},  // after a figure
      {'t', 12, false, "-hb", 0.8, "ABCt1"},  // the joined box is no letter
      {'t', 12, false, "hb1", 0.4, "ABCt1"},  // ... or reads worse than the one
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line(5);
    for (int k = 0; k < 3; ++k)
      line[k] = {{10 * k, 10, 8, 20}, {LibraryMatch{0, 1, 0.8, "ABC"[k]}}};
    line[3] = {{30, 30 - c.Height, 4, c.Height}, {LibraryMatch{0, 1, 0.6, c.Letter}}};
    line[4] = {{35, 30 - c.Height, 3, c.Height}, {LibraryMatch{0, 1, 0.5, '1'}}};
    line[4].Box.SpaceBefore = c.Space;
    JoinShortOnes(line, [&](const CharBox&) {
      std::array<LibraryMatch, 3> best = BestOf(c.Joined);
      best[0].Score = c.Score;
      return best;
    });
    EXPECT_EQ(Read(line), c.Want) << c.Letter << " " << c.Height << " " << c.Joined;
  }
}

}  // namespace
}  // namespace morvik
