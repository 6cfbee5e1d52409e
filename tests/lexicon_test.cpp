// Close readings of words of letters chosen by a word list.
#include "reading/lexicon.h"

#include <gtest/gtest.h>

#include "reading_line.h"

#include <string>
#include <vector>

namespace morvik {
namespace {

TEST(Lexicon, HoldsWordsOfLettersInSmallLetters) {
  const Lexicon words("harbour\nKelsby\nisn't\nferry");
  EXPECT_TRUE(words.Contains("harbour"));
  EXPECT_TRUE(words.Contains("kelsby"));
  EXPECT_TRUE(words.Contains("ferry"));  // the last line without its line end
  EXPECT_FALSE(words.Contains("isnt"));
  EXPECT_FALSE(words.Contains("harbo"));
  EXPECT_FALSE(Lexicon("").Contains("a"));
}

TEST(Lexicon, ChoosesAmongCloseReadingsOfWordsOfLetters) {
  const Lexicon words("harbour\nthe\nferry\nboats\nKelsby\nBOAT\nits\nline");
  const struct {
    std::vector<std::string> chars;
    double second;
    std::string want;
  } cases[] = {
      {{"h", "a", "r", "h", "o", "u", "r"}, 0.88, "harhour"},               // no other candidate
      {{"h", "a", "r", "hb", "o", "u", "r"}, 0.88, "harbour"},              // a close one
      {{"h", "a", "r", "hb", "o", "u", "r"}, 0.7, "harhour"},               // a clear reading stays
      {{"t", "h", "co", " ", "f", "c", "r", "r", "y"}, 0.88, "thcfcrry"},   // no word made
      {{"t", "h", "ce", " ", "f", "ce", "r", "r", "y"}, 0.88, "theferry"},  // word by word
      {{"(", "b", "o", "a", "tl", "s", ")", ","}, 0.88, "(boats),"},        // a word stays
      {{"(", "b", "o", "a", "lt", "s", ")", ","}, 0.88, "(boats),"},
      {{"K", "c", "l", "s", "b", "y"}, 0.88, "Kclsby"},   // no e among the candidates
      {{"K", "ce", "l", "s", "b", "y"}, 0.88, "Kelsby"},  // a capital first
      {{"B", "O", "A", "Tl"}, 0.88, "BOAT"},              // capitals take capitals
      {{"1", "ce", "1", "s"}, 0.88, "1c1s"},              // not a word of letters
      {{"l", "t", "s"}, 0.88, "Its"},                     // a first l as the I it looks like
      {{"l", "i", "n", "e"}, 0.88, "line"},               // ... not in a word the lexicon holds
      {{"a", "l", "t", "s"}, 0.88, "alts"},               // ... nor amid the word
  };
  for (const auto& c : cases) {
    PictureReading r = ReadingLine(c.chars, c.second);
    ApplyLexicon(r, [&]() -> const Lexicon& { return words; });
    EXPECT_EQ(ShownLine(r), c.want);
  }
}

}  // namespace
}  // namespace morvik
