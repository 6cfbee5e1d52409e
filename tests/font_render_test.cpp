// Tests of FreeType rendering: opening fonts (and refusing what is no font), cap heights,
// polarity and margins of single glyphs, missing glyphs, text lines with kerning and line
// spacing, and character lists with ranges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "font_files.h"
#include "fonts/char_list.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "fonts/utf8.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::FontInstalled;

#define REQUIRE_FONT(path) \
  if (!FontInstalled(path)) GTEST_SKIP() << path << " is not installed"

// Rows (or columns) holding a pixel darker than mid-grey: the ink's extent.
struct Extent {
  int First = -1, Last = -1;
  int Size() const { return First < 0 ? 0 : Last - First + 1; }
};

Extent InkRows(const Bitmap& bm, bool lightOnDark = false) {
  Extent e;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) {
      const int v = RedOf(bm.Pixel(x, y));
      if (lightOnDark ? v >= 128 : v < 128) {
        if (e.First < 0) e.First = y;
        e.Last = y;
      }
    }
  return e;
}

Extent InkColumns(const Bitmap& bm) {
  Extent e;
  for (int x = 0; x < bm.Width(); ++x)
    for (int y = 0; y < bm.Height(); ++y)
      if (RedOf(bm.Pixel(x, y)) < 128) {
        if (e.First < 0) e.First = x;
        e.Last = x;
      }
  return e;
}

TEST(ParseCharList, RangesAndLiteralDashes) {
  struct Case {
    std::string list;
    std::u32string chars;
  };
  const Case cases[] = {
      {"", U""},
      {"0-9", U"0123456789"},
      {"A-EX", U"ABCDEX"},
      {"-A", U"-A"},
      {"A-", U"A-"},
      {"-", U"-"},
      {"a-c-", U"abc-"},
      {"0-2A-B", U"012AB"},
      {"+--", U"+,-"},                               // '+' to '-' is a range of three
      {"x-x", U"x"},                                 // a range of one
      {"\xC3\xA9-\xC3\xAB", U"\u00E9\u00EA\u00EB"},  // é-ë in UTF-8
      {" A B ", U" A B "},                           // blanks are characters
      {"0 - 2", U"0 - 2"},                           // that end no range
      {"0- 2", U"0- 2"},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCharList(c.list), c.chars) << c.list;
  EXPECT_EQ(ParseCharList("0-9A-Z").size(), 36u);
}

TEST(ParseCharList, RefusesReversedRangesAndBadUtf8) {
  for (const std::string list :
       {"9-0", "Z-A", "a-c9-1", "\xFF", "A\xC3", "\xED\xA0\x80", "\xC0\x80"})
    EXPECT_THROW(ParseCharList(list), Error) << list;
  try {
    ParseCharList("9-0");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("9-0"), std::string::npos) << e.what();
  }
}

TEST(DecodeUtf8, AllSequenceLengths) {
  EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"a\u00E9\u20AC\U0001F600");
}

TEST(FontFace, RefusesWhatIsNoReadableFont) {
  test::TempDir dir;
  test::WriteFile(dir.File("notes.ttf"), "this is not a font\n");
  test::WriteFile(dir.File("empty.otf"), "");
  for (const std::string& path :
       {dir.File("missing.ttf"), dir.File("notes.ttf"), dir.File("empty.otf"), dir.Path()}) {
    try {
      FontFace face(path);
      ADD_FAILURE() << path << " opened";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
    }
  }
}

TEST(RenderGlyph, CapHeightIsTheHeightOfH) {
  for (const std::string& font :
       {test::kDejaVuSans, test::kNimbusSansType1, test::kNimbusRomanOtf}) {
    REQUIRE_FONT(font);
    const FontFace face(font);
    for (int cap : {20, 33, 64}) {
      const Bitmap h = RenderGlyph(face, U'H', cap);
      EXPECT_NEAR(InkRows(h).Size(), cap, 1) << font << " at " << cap;
    }
  }
}

TEST(RenderGlyph, EmSizeOption) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  RenderOptions em;
  em.CapHeight = false;
  // DejaVu Sans capitals are 0.729 em high.
  EXPECT_NEAR(InkRows(RenderGlyph(face, U'H', 100, em)).Size(), 73, 1);
}

TEST(RenderGlyph, PolarityAndMargin) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  RenderOptions o;
  o.Margin = 6;
  const Bitmap dark = RenderGlyph(face, U'I', 30, o);
  EXPECT_EQ(dark.Pixel(0, 0), kWhite);
  EXPECT_EQ(InkRows(dark).First, 6);
  EXPECT_EQ(InkRows(dark).Last, dark.Height() - 7);
  EXPECT_EQ(InkColumns(dark).First, 6);
  // The vertical bar of I: full strength somewhere in the middle row.
  bool black = false;
  for (int x = 0; x < dark.Width(); ++x) black |= dark.Pixel(x, dark.Height() / 2) == kBlack;
  EXPECT_TRUE(black);

  o.LightOnDark = true;
  const Bitmap light = RenderGlyph(face, U'I', 30, o);
  ASSERT_EQ(light.Width(), dark.Width());
  EXPECT_EQ(light.Pixel(0, 0), kBlack);
  for (int y = 0; y < light.Height(); ++y)
    for (int x = 0; x < light.Width(); ++x)
      ASSERT_EQ(RedOf(light.Pixel(x, y)), 255 - RedOf(dark.Pixel(x, y)));
}

TEST(RenderGlyph, MissingCharactersAndBadSizesAreErrors) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  try {
    RenderGlyph(face, U'\U0010FFFD', 20);
    FAIL();
  } catch (const Error& e) {
    const std::string m = e.what();
    EXPECT_EQ(m.rfind(test::kDejaVuSans, 0), 0u) << m;
    EXPECT_NE(m.find("U+10FFFD"), std::string::npos) << m;
  }
  for (int size : {0, -5, kMaxRenderSize + 1}) EXPECT_THROW(RenderGlyph(face, U'A', size), Error);
  EXPECT_THROW(RenderText(face, {"A\U0010FFFD"}, 20), Error);
  EXPECT_THROW(RenderText(face, {"\xFF"}, 20), Error);
}

TEST(RenderGlyph, SpaceGivesABlankPicture) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  const Bitmap space = RenderGlyph(face, U' ', 20);
  EXPECT_GT(space.Width(), 8);
  EXPECT_EQ(InkRows(space).Size(), 0);
}

TEST(RenderText, LinesSpacingAndKerning) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  RenderOptions o;
  o.Margin = 0;
  const Bitmap one = RenderText(face, {"HH"}, 20, o);
  EXPECT_NEAR(one.Height(), 20, 1);
  o.LineSpacing = 50;
  const Bitmap two = RenderText(face, {"HH", "HH"}, 20, o);
  EXPECT_EQ(two.Height(), one.Height() + 50);
  EXPECT_EQ(two.Width(), one.Width());

  // Kerning pulls V under A: the pair is narrower than the two glyphs side by side.
  const int a = RenderGlyph(face, U'A', 40, o).Width(), v = RenderGlyph(face, U'V', 40, o).Width();
  const int av = RenderText(face, {"AV"}, 40, o).Width();
  EXPECT_LT(av, a + v);
  o.Tracking = 10;
  EXPECT_EQ(RenderText(face, {"AV"}, 40, o).Width(), av + 10);
}

TEST(RenderText, NoTextGivesTheMarginsOnly) {
  REQUIRE_FONT(test::kDejaVuSans);
  const FontFace face(test::kDejaVuSans);
  const Bitmap bm = RenderText(face, {}, 20);
  EXPECT_EQ(bm.Width(), 8);
  EXPECT_EQ(bm.Height(), 8);
  EXPECT_EQ(RenderText(face, {" ", ""}, 20).Width(), 8);
}

}  // namespace
}  // namespace morvik
