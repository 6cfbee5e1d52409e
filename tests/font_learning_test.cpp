// Learning from a font file: a glyph takes the path of a picture of it, sets fill 40 at a
// time in size and list order, and a learned library reads its own typeface back.
#include "learning/font_learning.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error_of.h"
#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "image/picture_reader.h"
#include "library/reference_library.h"
#include "reading/character_detail.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"
#include "segment/text_segmenter.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::ErrorOf;
using test::kDejaVuSans;

bool SameCells(const TPattern& a, const TPattern& b) {
  return a.Cells == b.Cells && a.MaxLevel == b.MaxLevel;
}

// The text of a picture as the segmenter cuts it and the library recognises each character.
std::string ReadText(const ReferenceLibrary& library, const GreyImage& grey) {
  const Segmentation seg = SegmentText(grey);
  std::string text;
  for (const TextLine& line : seg.Lines)
    for (const CharBox& box : line.Chars)
      text += std::string(box.SpaceBefore ? " " : "") +
              RecognizeCharacter(library, CutCharacter(grey, box, seg.DarkOnLight), {})[0].Char;
  return text;
}

class FontLearning : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::FontInstalled(kDejaVuSans)) GTEST_SKIP() << "fonts-dejavu-core not installed";
  }
  test::TempDir dir;
};

// The glyph drawn into a BMP file and learned through the picture path gives the reference
// and the detail learning from the font gives, at each size and for glyphs of several parts.
TEST_F(FontLearning, GlyphLearnsAsItsPictureDoes) {
  const FontFace font(kDejaVuSans);
  const ImageOptions image = ResolveSettings(CharacterDefaults(), {}).Image;
  for (int size : {18, 40, 71})
    for (char c : std::string("8gi%")) {
      SCOPED_TRACE(std::string(1, c) + " at " + std::to_string(size));
      FontLearnOptions options;
      options.CapHeights = {size};
      const std::vector<LearnedSet> sets = LearnFromFont(kDejaVuSans, std::string(1, c), options);
      ASSERT_EQ(sets.size(), 1u);
      ASSERT_EQ(sets[0].Count, 1);
      const std::string bmp = dir.File("glyph.bmp");
      test::WriteBmp24(bmp, RenderGlyph(font, static_cast<unsigned char>(c), size));
      const Bitmap cut = CutWholeCharacter(ReadPictureFile(bmp), bmp);
      EXPECT_TRUE(SameCells(sets[0].Bank.Slot(1), CharacterPattern(cut, image)));
      const CharacterDetail want = DetailOf(cut), got = sets[0].Detail.Ref(1);
      EXPECT_TRUE(got.Valid);
      EXPECT_EQ(got.Grid, want.Grid);
      EXPECT_EQ(got.InkWidth, want.InkWidth);
      EXPECT_EQ(got.InkHeight, want.InkHeight);
      EXPECT_EQ(sets[0].Chars.CharMap[1], c);
    }
}

// 40 references to a set, the sizes in turn, each set with the map of its own references and
// the settings learned with.
TEST_F(FontLearning, FillsSetsFortyAtATime) {
  FontLearnOptions options;
  options.CapHeights = {20, 30};
  options.Settings.AspectRatioEnable = true;
  const std::vector<LearnedSet> sets = LearnFromFont(kDejaVuSans, "0-9A-Z", options);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].Count, 40);
  EXPECT_EQ(sets[1].Count, 32);
  const std::string order = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string seen;
  for (const LearnedSet& s : sets) {
    EXPECT_TRUE(s.Chars.CharMapLoaded);
    for (int n = 1; n <= s.Count; ++n) seen += s.Chars.CharMap[n];
    for (int n = s.Count + 1; n <= kReferenceCount; ++n) EXPECT_EQ(s.Bank.Slot(n).MaxLevel, 0);
    SetSettings want = CharacterDefaults();
    want.AspectRatioEnable = true;
    EXPECT_EQ(s.Settings, want);
  }
  EXPECT_EQ(seen, order + order);
}

TEST_F(FontLearning, RefusesWhatCannotBeLearned) {
  const struct {
    std::string Font, Chars;
    std::vector<int> Sizes;
    std::string Says;
  } cases[] = {
      {kDejaVuSans, " ", {40}, "has no ink"},
      {kDejaVuSans, "\xC3\xA9", {40}, "ASCII only"},
      {kDejaVuSans, "09", {0}, kDejaVuSans},
      {kDejaVuSans, "09", {}, "no size"},
      {dir.File("missing.ttf"), "09", {40}, "missing.ttf"},
  };
  for (const auto& c : cases) {
    FontLearnOptions options;
    options.CapHeights = c.Sizes;
    const std::string message = ErrorOf([&] { LearnFromFont(c.Font, c.Chars, options); });
    EXPECT_NE(message.find(c.Says), std::string::npos) << c.Chars << ": " << message;
  }
}

// A glyph beyond ASCII (a ligature) learns as its picture does and answers with the byte
// given; a glyph the font lacks is refused naming the font.
TEST_F(FontLearning, GlyphsAnswerWithTheirOwnByte) {
  const std::vector<LearnedSet> sets = LearnGlyphs(kDejaVuSans, {{0xFB01, '\x81'}}, {});
  ASSERT_EQ(sets.size(), 1u);
  ASSERT_EQ(sets[0].Count, 1);
  EXPECT_EQ(sets[0].Chars.CharMap[1], '\x81');
  const Bitmap cut =
      CutWholeCharacter(RenderGlyph(FontFace(kDejaVuSans), 0xFB01, kDefaultLearnCapHeight), "fi");
  EXPECT_TRUE(SameCells(sets[0].Bank.Slot(1),
                        CharacterPattern(cut, ResolveSettings(CharacterDefaults(), {}).Image)));
  EXPECT_EQ(test::KindAndFileOf([&] {
              LearnGlyphs(kDejaVuSans, {{0xE000, '\x81'}}, {});
            }),
            std::make_pair(ErrorKind::kBadData, std::string(kDejaVuSans)));
}

// Saved, reopened and used as a library: the font's own glyphs, rendered as text is and cut
// by the segmenter, read back in both polarities.
TEST_F(FontLearning, SavedLibraryReadsItsTypeface) {
  std::vector<LearnedSet> sets = LearnFromFont(kDejaVuSans, "0-9A-Za-z", {});
  const std::string name = SaveLearnedSets(dir.File("dejavu"), sets);
  EXPECT_EQ(name, dir.File("dejavu.sets"));
  ReferenceLibrary library = OpenReferenceNames({name});
  ASSERT_EQ(library.Sets.size(), 2u);
  EXPECT_TRUE(library.Sets[0].Detail.Loaded);
  const FontFace font(kDejaVuSans);
  for (bool lightOnDark : {false, true}) {
    RenderOptions ro;
    ro.LightOnDark = lightOnDark;
    const GreyImage grey = ToGreyImage(RenderText(font, {"R2D2 Qb7"}, 30, ro));
    EXPECT_EQ(ReadText(library, grey), "R2D2 Qb7");
  }
}

// Softened references differ from the sharp ones, and beside them do not spoil the reading
// of sharp small print.
TEST_F(FontLearning, SoftenedReferencesReadSmallPrint) {
  FontLearnOptions options;
  options.CapHeights = {10};
  std::vector<LearnedSet> sharp = LearnFromFont(kDejaVuSans, "0-9", options);
  options.Soften = 1;
  const std::vector<LearnedSet> soft = LearnFromFont(kDejaVuSans, "0-9", options);
  int differ = 0;
  for (int n = 1; n <= 10; ++n) differ += !SameCells(sharp[0].Bank.Slot(n), soft[0].Bank.Slot(n));
  EXPECT_GE(differ, 8);
  sharp.push_back(soft[0]);
  const ReferenceLibrary library = OpenReferenceNames({SaveLearnedSets(dir.File("both"), sharp)});
  const GreyImage grey = ToGreyImage(RenderText(FontFace(kDejaVuSans), {"2048 1975"}, 10));
  EXPECT_EQ(ReadText(library, grey), "2048 1975");
}

}  // namespace
}  // namespace morvik
