// Recognising a cut against a library: the detail route narrows and ranks the sets that carry
// detail, keeps set order on ties, scores sets without detail by the line matcher beside them,
// and leaves the line matcher's ranking untouched where no set has detail or the route is off.
#include "reading/character_recognition.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "learning/font_learning.h"
#include "library/library_scoring.h"
#include "reading/character_height.h"
#include "segment/cut.h"

namespace morvik {
namespace {

using test::kDejaVuSans;
using test::kDejaVuSerif;

ReferenceSet SetOf(LearnedSet learned) {
  ReferenceSet set;
  set.Bank = learned.Bank;
  set.Chars = learned.Chars;
  set.Settings = learned.Settings;
  set.Detail = learned.Detail;
  PrepareReferenceSet(set);
  return set;
}

// Digits of two typefaces, the first set twice: ties between sets are real.
ReferenceLibrary Digits() {
  ReferenceLibrary library;
  const LearnedSet sans = LearnFromFont(kDejaVuSans, "0-9", {})[0];
  library.Sets = {SetOf(sans), SetOf(LearnFromFont(kDejaVuSerif, "0-9", {})[0]), SetOf(sans)};
  return library;
}

class Recognition : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::FontInstalled(kDejaVuSans) || !test::FontInstalled(kDejaVuSerif))
      GTEST_SKIP() << "fonts-dejavu-core not installed";
  }
  Bitmap CutOf(const std::string& font, char c, int size) {
    return CutWholeCharacter(RenderGlyph(FontFace(font), static_cast<unsigned char>(c), size), "c");
  }
};

bool Same(const std::array<LibraryMatch, 3>& a, const std::array<LibraryMatch, 3>& b) {
  for (std::size_t p = 0; p < a.size(); ++p)
    if (a[p].Set != b[p].Set || a[p].No != b[p].No || a[p].Score != b[p].Score ||
        a[p].Char != b[p].Char)
      return false;
  return true;
}

TEST_F(Recognition, DetailRouteRanksTiesBySetOrder) {
  ReferenceLibrary library = Digits();
  for (char c : std::string("0123456789")) {
    const std::array<LibraryMatch, 3> best =
        RecognizeCharacter(library, CutOf(kDejaVuSans, c, 40), {});
    EXPECT_EQ(best[0].Char, c);
    // The glyph itself: the first set's copy wins over its equal twin in the third set,
    // which leaves the next places to other characters.
    EXPECT_EQ(best[0].Set, 0);
    EXPECT_NE(best[1].Char, c);
    EXPECT_NE(best[2].Char, c);
    EXPECT_LE(best[1].Score, best[0].Score);
    // The glyph's own detail: the likeness is nearly whole.
    EXPECT_GT(best[0].Likeness, 0.99);
    // Score stays the line matcher's mean, as the set scores it alone.
    const ScoreTable alone =
        ScoreSet(library.Sets[0],
                 PrepareTest(CharacterPattern(CutOf(kDejaVuSans, c, 40),
                                              ResolveSettings(library.Sets[0].Settings, {}).Image)),
                 0.75);
    EXPECT_EQ(best[0].Score, alone[best[0].No].Mean);
  }
}

TEST_F(Recognition, LineRankingWhereDetailIsOffOrMissing) {
  const Bitmap cut = CutOf(kDejaVuSerif, '3', 24);
  const ImageOptions image = ResolveSettings(CharacterDefaults(), {}).Image;
  ReferenceLibrary plain = Digits();
  const std::array<LibraryMatch, 3> byLine =
      RecognizeWithLibrary(plain, CharacterPattern(cut, image), 0.75);
  CharacterOptions off;
  off.DetailCandidates = 0;
  ReferenceLibrary library = Digits();
  EXPECT_TRUE(Same(RecognizeCharacter(library, cut, off), byLine));
  EXPECT_EQ(RecognizeCharacter(library, cut, off)[0].Likeness, 0);
  for (ReferenceSet& set : library.Sets) set.Detail = SetDetail{};
  EXPECT_TRUE(Same(RecognizeCharacter(library, cut, {}), byLine));
}

// A set without detail (learned before detail was kept) is scored by the line matcher beside
// the others, which keep their detail: each glyph is still found in its own typeface's set.
TEST_F(Recognition, SetWithoutDetailJoinsTheOthers) {
  ReferenceLibrary library = Digits();
  library.Sets[1].Detail = SetDetail{};  // the serif set
  struct Case {
    std::string Font;
    int Set;
  };
  for (const Case& c : {Case{kDejaVuSans, 0}, Case{kDejaVuSerif, 1}})
    for (char ch : std::string("0123456789")) {
      const Bitmap cut = CutOf(c.Font, ch, 40);
      const std::array<LibraryMatch, 3> best = RecognizeCharacter(library, cut, {});
      EXPECT_EQ(best[0].Char, ch) << c.Font;
      EXPECT_EQ(best[0].Set, c.Set) << c.Font << " " << ch;
      const ReferenceSet& set = library.Sets[static_cast<std::size_t>(best[0].Set)];
      const EffectiveSettings e = ResolveSettings(set.Settings, {});
      EXPECT_EQ(
          best[0].Score,
          ScoreSet(set, PrepareTest(CharacterPattern(cut, e.Image)), e.Tally)[best[0].No].Mean);
    }
}

// With a filter, the references of a set without detail are limited as the others are.
TEST_F(Recognition, FilterLimitsSetsWithoutDetail) {
  ReferenceLibrary library = Digits();
  library.Sets[0].Detail = SetDetail{};
  CharacterOptions options;
  options.Filter = ParseCharFilter("5-9");
  for (const LibraryMatch& m : RecognizeCharacter(library, CutOf(kDejaVuSans, '2', 40), options))
    EXPECT_TRUE(m.No == 0 || (m.Char >= '5' && m.Char <= '9'));
}

TEST_F(Recognition, FilterLimitsTheDetailCandidates) {
  ReferenceLibrary library = Digits();
  CharacterOptions options;
  options.Filter = ParseCharFilter("0-4");
  const std::array<LibraryMatch, 3> best =
      RecognizeCharacter(library, CutOf(kDejaVuSans, '8', 40), options);
  for (const LibraryMatch& m : best) EXPECT_TRUE(m.No == 0 || (m.Char >= '0' && m.Char <= '4'));
}

// Asking for more candidates than there are references takes them all.
TEST_F(Recognition, CandidatesBeyondTheLibraryTakeAll) {
  ReferenceLibrary library = Digits();
  CharacterOptions all;
  all.DetailCandidates = std::numeric_limits<int>::max();
  EXPECT_EQ(RecognizeCharacter(library, CutOf(kDejaVuSerif, '5', 33), all)[0].Char, '5');
}

// Capitals and small letters of the same shape, told apart by their heights against the line
// (a cut alone is stretched to its ink box and cannot say), in another typeface and sizes.
TEST_F(Recognition, HeightTellsCapitalsFromSmallLetters) {
  ReferenceLibrary library;
  library.Sets = {SetOf(LearnFromFont(kDejaVuSans, "OoSsVvWwXxZz", {})[0])};
  for (int size : {20, 40})
    for (char c : std::string("OoSsVvWwXxZz")) {
      const Bitmap cut = CutOf(kDejaVuSerif, c, size);
      const std::uint16_t height = RelativeHeight(cut.Height() - 2 * kCutMargin, size);
      EXPECT_EQ(RecognizeCharacter(library, cut, {}, height)[0].Char, c) << c << " " << size;
    }
}

TEST_F(Recognition, OneReferenceScoresAsTheWholeSet) {
  ReferenceLibrary library = Digits();
  const TPattern test = CharacterPattern(CutOf(kDejaVuSerif, '6', 30),
                                         ResolveSettings(CharacterDefaults(), {}).Image);
  const ScoreTable all = ScoreSet(library.Sets[0], PrepareTest(test), 0.75);
  for (int k = 1; k <= kReferenceCount; ++k) {
    const TScoreEntry e = ScoreReference(library.Sets[0], PrepareTest(test), 0.75, k);
    EXPECT_EQ(e.H, all[k].H) << k;
    EXPECT_EQ(e.V, all[k].V) << k;
    EXPECT_EQ(e.Mean, all[k].Mean) << k;
  }
}

}  // namespace
}  // namespace morvik
