// Look-alike characters settled by their word.
#include "reading/word_context.h"

#include <gtest/gtest.h>

#include "reading_line.h"

#include <string>
#include <vector>

namespace morvik {
namespace {

TEST(WordContext, SettlesLookAlikesByTheirWord) {
  const struct {
    std::vector<std::string> chars;
    std::string want;
  } cases[] = {
      {{"2", "O0", "2", "6"}, "2026"},        // an O among digits
      {{"3", "1", "8", "O0"}, "3180"},        // 1 is a look-alike: counts not
      {{"w", "h", "o", "Il", "e"}, "whole"},  // a capital I among small letters
      {{"I1", "N", "V", "O0"}, "INVO"},       // capitals stay
      {{"H", "1I", "L", "E"}, "H1LE"},        // a digit stays among capitals
      {{"2", "O0", " ", "6"}, "2O6"},         // one other character is too few
      {{"A", "4", "O0", "7"}, "A4O7"},        // a mixed word decides nothing
      {{"4", "O", "7"}, "4O7"},               // no zero among the candidates
      {{"4", "Oo0", "7"}, "407"},             // the first digit among the three
      {{"a", "1l", "m", "a", "n"}, "alman"},  // strokes among small letters are l
      {{"(l", "i", "s", "t"}, "list"},        // also first in the word
      {{"It", "t", "s"}, "Its"},              // a first capital I stays
      {{"T", "h", "e", "(l", "p"}, "Thelp"},  // a sentence's capital leaves a small word
      {{"h", "e", "Pp", "s"}, "heps"},        // a capital of a small letter's shape
      {{"P", "e", "Pp", "s"}, "Peps"},        // ... but not first
      {{"a", "(", "m"}, "a(m"},               // no l among the candidates
      {{"3", "1l", "4", "5"}, "3145"},        // figures keep their ones
      {{"l1", "0", "-", "h", "a"}, "10-ha"},  // a part of figures and look-alikes
      {{"l1", "0", ".", "0"}, "10.0"},
      {{"e", "t", "c", "/", "1l", "0", "-", "h", "a"}, "etc/10-ha"},  // ones stay ones
      {{"O0", "x", "l1", "0"}, "Oxl0"},                               // a letter in the part
      {{"l", "0", "0", "%"}, "l00%"},                                 // no one among the three
  };
  for (const auto& c : cases) {
    PictureReading r = ReadingLine(c.chars);
    ApplyWordContext(r);
    EXPECT_EQ(ShownLine(r), c.want);
  }
}

TEST(WordContext, LeavesRejectedAndBlankCharactersAlone) {
  PictureReading r = ReadingLine({"2", "O0", "2", "6"});
  r.Chars[1].Rejected = true;
  ApplyWordContext(r);
  EXPECT_EQ(r.Chars[1].Best[0].Char, 'O');
}

}  // namespace
}  // namespace morvik
