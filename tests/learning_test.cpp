// Tests of learning a reference set: which names are tried, what stays, and a bitmap that
// cannot be loaded.
#include "runs/learning.h"
#include "form/run_buttons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "form/image_state.h"
#include "golden/glyphs.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

bool IsEmpty(const TPattern& p) {
  for (int r = 1; r <= kGridSize; ++r)
    for (int c = 1; c <= kGridSize; ++c)
      if (p.At(r, c).Mark != 0) return false;
  return true;
}

bool SamePattern(const TPattern& a, const TPattern& b) {
  for (int r = 1; r <= kGridSize; ++r)
    for (int c = 1; c <= kGridSize; ++c)
      if (a.At(r, c).Mark != b.At(r, c).Mark || a.At(r, c).Level != b.At(r, c).Level) return false;
  return true;
}

struct CountingView : WorkspaceView {
  int grid = 0;
  std::vector<std::string> progress;
  void GridChanged() override { ++grid; }
  void Progress(const std::string& what, int done, int total) override {
    progress.push_back(what + " " + std::to_string(done) + "/" + std::to_string(total));
  }
};

class Learning : public testing::Test {
 protected:
  Learning() : ws(dir.Path(), dir.File("elsewhere")) {
    ws.SetView(&view);
    fs::create_directory(dir.File("learn"));
    // Slot 3 holds a marker pattern that learning must leave alone.
    ws.Bank.Slot(3).At(5, 5) = TPatternCell{1, 75};
    marker = ws.Bank.Slot(3);
  }
  // The pattern a glyph gives when loaded on its own.
  TPattern Sample(char c) {
    test::WriteGlyph(dir.File("sample.bmp"), c);
    Workspace other(dir.Path(), dir.Path());
    LoadTestPicFile(dir.File("sample.bmp"), other.Image, other.Bank.TestPattern());
    return other.Bank.TestPattern();
  }

  test::TempDir dir;
  CountingView view;
  Workspace ws;
  TPattern marker;
};

TEST_F(Learning, OnlyNamesOneToFortyWithoutLeadingZeros) {
  test::WriteGlyph(dir.File("learn/1.bmp"), 'A');
  test::WriteGlyph(dir.File("learn/2.bmp"), 'B');
  test::WriteGlyph(dir.File("learn/40.bmp"), 'Z');
  for (const char* name : {"0.bmp", "41.bmp", "07.bmp", "3.BMP", "4.bmp.bak"})
    test::WriteFile(dir.File(std::string("learn/") + name), "not a bmp");
  fs::create_directory(dir.File("learn/5.bmp"));  // a folder is no bitmap
  ws.EditAutoPat = "learn";                       // relative to the home folder
  EXPECT_EQ(ButtonAutoPatClick(ws), 3);
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(1), Sample('A')));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(2), Sample('B')));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(40), Sample('Z')));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(3), marker));
  for (int n = 4; n <= 39; ++n) EXPECT_TRUE(IsEmpty(ws.Bank.Slot(n))) << n;
  EXPECT_TRUE(SamePattern(ws.Bank.TestPattern(), Sample('Z')));  // the last one learned
  EXPECT_EQ(ws.CurrentFolder(), ws.HomeFolder());
  EXPECT_EQ(view.grid, 1);
}

// The folder is found in any case, as the recognition runs find theirs (the bitmap names
// themselves are exact), and progress counts the bitmaps there are, not the 40 names tried.
TEST_F(Learning, FolderInAnyCaseAndProgressCountsBitmaps) {
  test::WriteGlyph(dir.File("learn/1.bmp"), 'A');
  test::WriteGlyph(dir.File("learn/7.bmp"), 'B');
  ws.EditAutoPat = "LEARN";
  EXPECT_EQ(ButtonAutoPatClick(ws), 2);
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(7), Sample('B')));
  EXPECT_EQ(view.progress, (std::vector<std::string>{"Learning 1/2", "Learning 2/2"}));
}

// Where "<n>.bmp" is missing, "<n>.png", ".pgm", ".ppm" and ".pbm" are tried in this order.
TEST_F(Learning, PicturesBeyondBmpWhereTheBmpIsMissing) {
  const Bitmap b = test::GlyphBitmap('B', 64, 64);
  std::string pgm = "P5 64 64 255\n";
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) pgm += static_cast<char>(RedOf(b.Pixel(x, y)));
  test::WriteGlyph(dir.File("learn/1.bmp"), 'A');
  test::WriteFile(dir.File("learn/1.pgm"), "P5 1 1 255\n");  // the BMP comes first: never read
  test::WriteFile(dir.File("learn/2.pgm"), pgm);
  test::WriteFile(dir.File("learn/2.pbm"), "P4 1 1\n");  // after .pgm: never read
  ws.EditAutoPat = dir.File("learn");
  EXPECT_EQ(ButtonAutoPatClick(ws), 2);
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(1), Sample('A')));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(2), Sample('B')));
}

TEST_F(Learning, LearnedPatternsAreNotNormalised) {
  // A glyph in the lower right corner stays there until a run normalises the bank.
  Bitmap b(64, 64);
  b.Fill(MakeColour(0, 0, 0));
  for (int y = 48; y < 60; ++y)
    for (int x = 48; x < 60; ++x) b.SetPixel(x, y, MakeColour(200, 200, 200));
  test::WriteBmp8Grey(dir.File("learn/1.bmp"), b);
  ws.EditAutoPat = dir.File("learn");
  EXPECT_EQ(ButtonAutoPatClick(ws), 1);
  EXPECT_EQ(ws.Bank.Slot(1).At(1, 1).Mark, 0);
  EXPECT_NE(ws.Bank.Slot(1).At(14, 14).Mark, 0);
}

TEST_F(Learning, BadBitmapStopsAndKeepsEarlierSlots) {
  test::WriteGlyph(dir.File("learn/1.bmp"), 'A');
  test::WriteFile(dir.File("learn/2.bmp"), "BM broken");
  test::WriteGlyph(dir.File("learn/3.bmp"), 'C');
  ws.EditAutoPat = dir.File("learn");
  try {
    ButtonAutoPatClick(ws);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(dir.File("learn/2.bmp")), std::string::npos) << e.what();
  }
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(1), Sample('A')));
  EXPECT_TRUE(IsEmpty(ws.Bank.Slot(2)));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(3), marker));  // later slots untouched
  EXPECT_EQ(view.grid, 0);
}

TEST_F(Learning, MissingFolderLearnsNothing) {
  ws.EditAutoPat = dir.File("none");
  EXPECT_EQ(ButtonAutoPatClick(ws), 0);
  test::WriteGlyph(dir.File("1.bmp"), 'A');  // in the home folder
  ws.EditAutoPat = "";                       // names no folder
  EXPECT_EQ(ButtonAutoPatClick(ws), 0);
  EXPECT_TRUE(IsEmpty(ws.Bank.Slot(1)));
  EXPECT_TRUE(SamePattern(ws.Bank.Slot(3), marker));
  EXPECT_EQ(view.grid, 2);
}

// A picture that scales to no pixels (65 x 1 at the fixed ratio, with a fixed threshold: an
// automatic one has nothing to be found in) is learned as an empty reference, never as the
// picture before it, and the observer is told which one it was.
TEST_F(Learning, PictureWithoutPixelsToSampleIsAnEmptyReferenceWithNotice) {
  struct Notices : RunObserver {
    std::vector<std::string> texts;
    void Notice(const std::string& text) override { texts.push_back(text); }
  } notices;
  test::WriteGlyph(dir.File("learn/1.bmp"), 'A');
  Bitmap rule(65, 1);
  rule.Fill(MakeColour(0, 0, 0));
  test::WriteBmp8Grey(dir.File("learn/2.bmp"), rule);
  test::WriteGlyph(dir.File("learn/3.bmp"), 'C');
  ws.Image.Settings.CheckBoxAuto = false;
  EXPECT_EQ(LearnReferences(ws.Prepared(), dir.File("learn"), notices),
            (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(IsEmpty(ws.Bank.Slot(2)));
  EXPECT_FALSE(IsEmpty(ws.Bank.Slot(3)));
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(notices.texts[0].rfind(dir.File("learn/2.bmp"), 0), 0u) << notices.texts[0];
}

}  // namespace
}  // namespace morvik
