// Tests of the conversion of a bitmap file into a pattern: raster sizes, cell sampling,
// grey-to-level mapping, filling patterns, whole loads with their failures, the loading guard
// and the "Color" reload.
#include "image/bitmap_to_pattern.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/normalize.h"
#include "core/scoring.h"
#include "form/workspace.h"
#include "image/bmp_reader.h"
#include "test_util.h"

namespace morvik {
namespace {

Colour Grey(int g) {
  return MakeColour(g, g, g);
}

struct Block {
  int x, y, w, h;
  Colour colour;
};

Bitmap Picture(int w, int h, Colour background, std::initializer_list<Block> blocks) {
  Bitmap bm(w, h);
  bm.Fill(background);
  for (const Block& b : blocks)
    for (int y = b.y; y < b.y + b.h; ++y)
      for (int x = b.x; x < b.x + b.w; ++x) bm.SetPixel(x, y, b.colour);
  return bm;
}

bool SameCells(const TPattern& a, const TPattern& b) {
  for (int k = 0; k < kGridSize * kGridSize; ++k)
    if (a.Cells[k].Mark != b.Cells[k].Mark || a.Cells[k].Level != b.Cells[k].Level) return false;
  return true;
}

// Rows r1..r2 and columns c1..c2 hold `level`, every other cell is empty.
testing::AssertionResult HoldsBlock(const TPattern& p, int r1, int r2, int c1, int c2, int level) {
  for (int r = 1; r <= kGridSize; ++r) {
    for (int c = 1; c <= kGridSize; ++c) {
      const bool in = r >= r1 && r <= r2 && c >= c1 && c <= c2;
      const TPatternCell cell = p.At(r, c);
      if (cell.Level != (in ? level : 0) || cell.Mark != (in && level > 0 ? 1 : 0))
        return testing::AssertionFailure()
               << "cell (" << r << ", " << c << ") is " << int(cell.Mark) << "/" << int(cell.Level);
    }
  }
  return testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------------------------
// Raster size

struct SizeCase {
  int w, h;
  int offW, offH, on100W, on100H, on50W, on50H;
};

TEST(RasterSize, AspectOffOnAt100AndAt50) {
  const SizeCase cases[] = {
      {30, 50, 38, 64, 64, 64, 32, 64}, {50, 30, 63, 38, 38, 38, 19, 38},
      {20, 30, 42, 63, 63, 63, 31, 63}, {64, 64, 64, 64, 64, 64, 32, 64},
      {3, 3, 63, 63, 63, 63, 31, 63},   {49, 10, 63, 13, 13, 13, 6, 13},
  };
  for (const SizeCase& c : cases) {
    ImageOptions s;
    s.FixedRatio = false;
    RasterSize r = ComputeRasterSize(c.w, c.h, s);
    EXPECT_EQ(r.Width, c.offW) << c.w << "x" << c.h;
    EXPECT_EQ(r.Height, c.offH) << c.w << "x" << c.h;
    s.FixedRatio = true;
    r = ComputeRasterSize(c.w, c.h, s);
    EXPECT_EQ(r.Width, c.on100W) << c.w << "x" << c.h;
    EXPECT_EQ(r.Height, c.on100H) << c.w << "x" << c.h;
    s.Ratio = 50;
    r = ComputeRasterSize(c.w, c.h, s);
    EXPECT_EQ(r.Width, c.on50W) << c.w << "x" << c.h;
    EXPECT_EQ(r.Height, c.on50H) << c.w << "x" << c.h;
  }
}

// The exact product of h and the double nearest to 64 / h falls short of 64 for these heights.
TEST(RasterSize, SixtyThreeWhereTheScaleLiesBelowSixtyFourOverH) {
  const std::set<int> short63 = {3,  6,  7,  9,  12, 14, 15, 17, 18, 19, 21, 23, 24, 27, 28,
                                 29, 30, 31, 34, 35, 36, 38, 39, 42, 43, 46, 47, 48, 49};
  const ImageOptions s;
  for (int h = 1; h <= 49; ++h)
    EXPECT_EQ(ComputeRasterSize(1, h, s).Height, short63.count(h) ? 63 : 64) << h;
}

TEST(RasterSize, HeightZeroIsDivisionByZero) {
  ImageOptions s;
  for (int w : {0, 5}) EXPECT_THROW(ComputeRasterSize(w, 0, s), Error);
  s.FixedRatio = false;
  EXPECT_THROW(ComputeRasterSize(5, 0, s), Error);
}

// ---------------------------------------------------------------------------------------------
// Grey to level and AddClamped

TEST(GreyToLevel, DefaultsAreTwoValued) {
  for (int g = 0; g <= 255; ++g) EXPECT_EQ(GreyToLevel(g, 45, 50), g <= 114 ? 0 : 100) << g;
}

TEST(GreyToLevel, BandsWithoutIncrement) {
  struct Band {
    int from, to, level;
  };
  const Band bands[] = {{0, 50, 0},     {51, 92, 10},   {93, 139, 25},
                        {140, 185, 50}, {186, 231, 75}, {232, 255, 100}};
  for (const Band& b : bands)
    for (int g = b.from; g <= b.to; ++g) EXPECT_EQ(GreyToLevel(g, 20, 0), b.level) << g;
  // 30 passes the threshold (30 >= 25.5) but stays in band 0.
  EXPECT_EQ(GreyToLevel(30, 10, 0), 0);
  EXPECT_EQ(GreyToLevel(25, 10, 0), 0);
  EXPECT_EQ(GreyToLevel(47, 10, 0), 10);
  EXPECT_EQ(GreyToLevel(46, 10, 0), 0);
}

// With the automatic increment (100 minus the threshold) everything at or above the threshold
// has level 100.
TEST(GreyToLevel, AutomaticValuesGiveFullLevelFromTheThreshold) {
  for (int t : {0, 5, 11, 17, 24, 30, 36, 42, 49, 55, 61, 67, 74, 80, 86, 92})
    for (int g = 0; g <= 255; ++g)
      ASSERT_EQ(GreyToLevel(g, t, 100 - t), 100 * g < 255 * t ? 0 : 100) << t << " " << g;
}

TEST(AddClamped, Examples) {
  struct Case {
    int value, delta, low, high, result;
  };
  const Case cases[] = {{200, 127, 0, 255, 255}, {10, -20, 0, 255, 0},  {100, 50, 0, 255, 150},
                        {0, 0, 0, 255, 0},       {255, 0, 0, 255, 255}, {5, -1, 3, 7, 4}};
  for (const Case& c : cases) {
    int v = c.value;
    AddClamped(v, c.delta, c.low, c.high);
    EXPECT_EQ(v, c.result) << c.value << " + " << c.delta;
  }
}

// ---------------------------------------------------------------------------------------------
// Filling a pattern

TEST(FillPattern, RowsFromTheTopColumnsFromTheLeft) {
  ImageState s;
  // Pixel rows 8..15 (rows 3 and 4), pixel columns 4..7 (column 2).
  s.ScaledBitmap = Picture(64, 64, kBlack, {{4, 8, 4, 8, kWhite}});
  TPattern p;
  p.At(16, 16) = {1, 75};
  FillPatternFromBitmap(s, p);
  EXPECT_TRUE(HoldsBlock(p, 3, 4, 2, 2, 100));
  EXPECT_EQ(p.MaxLevel, 100);
}

TEST(FillPattern, ZeroWidthRasterLeavesThePatternUntouched) {
  for (const Bitmap& raster : {Bitmap(), Bitmap(0, 64)}) {
    ImageState s;
    s.ScaledBitmap = raster;
    TPattern p;
    p.At(2, 3) = {1, 50};
    p.MaxLevel = 77;  // deliberately stale
    p.ColCount = 5;
    const TPattern before = p;
    FillPatternFromBitmap(s, p);
    EXPECT_TRUE(SameCells(p, before));
    EXPECT_EQ(p.MaxLevel, 77);
    EXPECT_EQ(p.ColCount, 5);
  }
}

// A raster without rows but with columns is sampled: every cell empty.
TEST(FillPattern, ZeroHeightRasterEmptiesEveryCell) {
  ImageState s;
  s.ScaledBitmap = Bitmap(64, 0);
  TPattern p;
  p.At(1, 1) = {1, 100};
  p.MaxLevel = 100;
  FillPatternFromBitmap(s, p);
  EXPECT_TRUE(HoldsBlock(p, 1, 0, 1, 0, 0));
  EXPECT_EQ(p.MaxLevel, 0);
}

// The target's MaxLevel follows its new cells whatever it held, up or down; the counts stay.
TEST(FillPattern, RecomputesMaxLevelOnly) {
  ImageState s;
  s.Settings.SetSpinEditTresh(20);
  s.Settings.SetSpinEditInc(0);
  s.ScaledBitmap = Picture(64, 64, kBlack, {{60, 60, 4, 4, Grey(100)}});  // level 25
  for (std::uint8_t stale : {0, 100}) {
    TPattern p;
    p.MaxLevel = stale;
    p.RowCount = 3;
    p.ColCount = 4;
    FillPatternFromBitmap(s, p);
    EXPECT_TRUE(HoldsBlock(p, 16, 16, 16, 16, 25));
    EXPECT_EQ(p.MaxLevel, 25);
    EXPECT_EQ(p.RowCount, 3);
    EXPECT_EQ(p.ColCount, 4);
  }
}

// The grey raster sampled in place gives the bitmap's cells, for rasters narrower than a
// vector, between whole vectors, 64 on a side (cells of four columns) and wider.
TEST(SampleGreyPattern, SameCellsAsTheBitmap) {
  std::mt19937 random(7);
  for (const auto& [w, h] : {std::pair{5, 64}, {15, 40}, {17, 64}, {47, 64}, {64, 9}, {70, 64}}) {
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(w) * h);
    Bitmap bitmap(w, h);
    for (std::size_t i = 0; i < grey.size(); ++i) {  // mostly dark ground
      grey[i] = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 256 : 0);
      bitmap.SetPixel(static_cast<int>(i) % w, static_cast<int>(i) / w, Grey(grey[i]));
    }
    TPattern fromGrey, fromBitmap;
    SampleGreyPattern(grey.data(), w, h, 20, 30, fromGrey);
    SamplePattern(bitmap, 20, 30, fromBitmap);
    EXPECT_TRUE(fromGrey.Cells == fromBitmap.Cells && fromGrey.MaxLevel == fromBitmap.MaxLevel)
        << w << " x " << h;
  }
}

// A 16 x 16 raster samples one pixel a cell: every grey gets GreyToLevel's level under every
// kind of threshold and increment, in range or not.
TEST(SampleGreyPattern, EachGreyGetsItsLevel) {
  std::vector<std::uint8_t> greys(256);
  for (int g = 0; g < 256; ++g) greys[static_cast<std::size_t>(g)] = static_cast<std::uint8_t>(g);
  for (const auto& [t, inc] : {std::pair{0, 0},
                               {20, 30},
                               {45, 55},
                               {100, 100},
                               {100, 0},
                               {0, 100},
                               {-5, 120},
                               {130, 50}}) {
    TPattern p;
    SampleGreyPattern(greys.data(), 16, 16, t, inc, p);
    for (int g = 0; g < 256; ++g) {
      const TPatternCell& cell = p.At(g / 16 + 1, g % 16 + 1);
      ASSERT_EQ(cell.Level, GreyToLevel(g, t, inc)) << g << " " << t << " " << inc;
      ASSERT_EQ(cell.Mark, cell.Level > 0 ? 1 : 0) << g << " " << t << " " << inc;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Whole loads

class Loading : public testing::Test {
 protected:
  std::string Write(const std::string& name, const Bitmap& bm) {
    const std::string path = dir_.File(name);
    test::WriteBmp24(path, bm);
    return path;
  }
  test::TempDir dir_;
};

// A white 5 x 10 bar at (10, 20) on a black 40 x 40 picture: it lies in rows 9..12 and
// columns 5..6 of the pattern, upright.
TEST_F(Loading, PatternIsUprightAndCropFillsTheRaster) {
  const std::string file = Write("bar.bmp", Picture(40, 40, kBlack, {{10, 20, 5, 10, kWhite}}));
  ImageState s;
  TPattern p;
  LoadTestPicFile(file, s, p);
  EXPECT_EQ(s.ScaledBitmap.Width(), 64);
  EXPECT_EQ(s.ScaledBitmap.Height(), 64);
  EXPECT_EQ(s.SourceBitmap.Width(), 40);
  EXPECT_EQ(s.Settings.SpinEditTresh(), 30);
  EXPECT_EQ(s.Settings.SpinEditInc(), 70);
  EXPECT_TRUE(HoldsBlock(p, 9, 12, 5, 6, 100));
  // The same picture as an 8-bit palette file.
  const std::string file8 = dir_.File("bar8.bmp");
  test::WriteBmp8Grey(file8, Picture(40, 40, kBlack, {{10, 20, 5, 10, kWhite}}));
  TPattern p8;
  LoadTestPicFile(file8, s, p8);
  EXPECT_TRUE(SameCells(p8, p));

  s.Settings.CheckBoxCrop = true;
  s.Settings.CheckBoxRatio = false;
  LoadTestPicFile(file, s, p);
  EXPECT_EQ(s.SourceBitmap.Width(), 5);
  EXPECT_EQ(s.SourceBitmap.Height(), 10);
  EXPECT_EQ(s.ScaledBitmap.Width(), 32);
  EXPECT_EQ(s.ScaledBitmap.Height(), 64);
  EXPECT_TRUE(HoldsBlock(p, 1, 16, 1, 8, 100));
}

TEST_F(Loading, RasterSizeFollowsTheAspectOption) {
  const std::string file = Write("tall.bmp", Picture(30, 50, Grey(200), {}));
  ImageState s;
  s.Settings.CheckBoxRatio = false;
  LoadBitmapFile(file, s);
  EXPECT_EQ(s.ScaledBitmap.Width(), 38);
  EXPECT_EQ(s.ScaledBitmap.Height(), 64);
  EXPECT_EQ(s.Preview.Width(), 38);
}

TEST_F(Loading, FailuresNameTheFileAndLeaveThePlaceholder) {
  struct Case {
    const char* name;
    Bitmap picture;
    bool crop, autodetect;
    int threshold;
    const char* problem;
  };
  const Case cases[] = {
      // A threshold of 0 makes the crop background white: nothing is content.
      {"white.bmp", Picture(8, 8, kWhite, {}), true, false, 0, "division by zero"},
      // A dark picture under threshold 45: the crop keeps no row.
      {"dark.bmp", Picture(8, 8, Grey(60), {}), true, false, 45, "division by zero"},
      // A black picture has its threshold found at 0.
      {"black.bmp", Picture(8, 8, kBlack, {}), true, true, 45, "division by zero"},
      // 65 x 1 scales to a 0 x 0 raster, which has no threshold to find.
      {"line.bmp", Picture(65, 1, kWhite, {{3, 0, 9, 1, kBlack}}), false, true, 45,
       "invalid floating-point operation"},
  };
  for (const Case& c : cases) {
    const std::string file = Write(c.name, c.picture);
    ImageState s;
    s.ScaledBitmap = Picture(4, 4, kWhite, {});
    s.Settings.CheckBoxCrop = c.crop;
    s.Settings.CheckBoxAuto = c.autodetect;
    s.Settings.SetSpinEditTresh(c.threshold);
    TPattern p;
    p.At(1, 1) = {1, 50};
    const TPattern before = p;
    try {
      LoadTestPicFile(file, s, p);
      ADD_FAILURE() << c.name << " loaded";
    } catch (const Error& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(file), std::string::npos) << what;
      EXPECT_NE(what.find(c.problem), std::string::npos) << what;
    }
    EXPECT_EQ(s.ScaledBitmap.Width(), 0) << c.name;
    EXPECT_TRUE(SameCells(p, before)) << c.name;
    // A later re-sampling of the empty placeholder changes nothing.
    FillPatternFromBitmap(s, p);
    EXPECT_TRUE(SameCells(p, before)) << c.name;
  }
}

TEST_F(Loading, EmptyRasterWithoutAutodetectIsNotSampled) {
  const std::string file = Write("line.bmp", Picture(65, 1, kWhite, {}));
  ImageState s;
  s.Settings.CheckBoxAuto = false;
  TPattern p;
  p.At(4, 4) = {1, 10};
  const TPattern before = p;
  LoadTestPicFile(file, s, p);
  EXPECT_EQ(s.ScaledBitmap.Width(), 0);
  EXPECT_TRUE(SameCells(p, before));
}

TEST_F(Loading, MissingFileKeepsTheRaster) {
  const std::string good = Write("good.bmp", Picture(16, 16, kBlack, {{2, 2, 3, 3, kWhite}}));
  ImageState s;
  TPattern p;
  LoadTestPicFile(good, s, p);
  const Bitmap raster = s.ScaledBitmap;
  const TPattern pattern = p;
  const std::string missing = dir_.File("missing.bmp");
  try {
    LoadTestPicFile(missing, s, p);
    ADD_FAILURE() << "a missing file loaded";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_EQ(s.ScaledBitmap, raster);
  EXPECT_TRUE(s.SourceBitmap.Empty());
  EXPECT_TRUE(SameCells(p, pattern));
}

// With "Black", dark characters on white: the preview shows them bright on black, the sampled
// raster has the file's polarity again, so the bright background fills the cells.
TEST_F(Loading, BlackKeepsTheFilePolarityInTheRaster) {
  const std::string file = Write("ink.bmp", Picture(16, 16, kWhite, {{4, 0, 4, 16, kBlack}}));
  ImageState s;
  s.Settings.RadioGroupCol = 1;
  TPattern p;
  LoadBitmapFile(file, s);
  FillPatternFromBitmap(s, p);
  EXPECT_EQ(s.Preview.Pixel(20, 5), kWhite);  // the character
  EXPECT_EQ(s.Preview.Pixel(5, 5), kBlack);
  EXPECT_EQ(s.ScaledBitmap.Pixel(20, 5), kBlack);
  EXPECT_EQ(s.ScaledBitmap.Pixel(5, 5), kWhite);
  for (int r = 1; r <= 16; ++r)
    for (int c = 1; c <= 16; ++c)
      EXPECT_EQ(p.At(r, c).Level, c >= 5 && c <= 8 ? 0 : 100) << r << "," << c;
}

// ---------------------------------------------------------------------------------------------
// Sequences, the loading guard and the "Color" reload through a workspace

class CountingView : public WorkspaceView {
 public:
  int previews = 0, edits = 0;
  void PreviewChanged() override { ++previews; }
  void EditPatternChanged() override { ++edits; }
};

class WithWorkspace : public Loading {
 protected:
  WithWorkspace() : ws_(dir_.Path(), dir_.Path()) { ws_.SetView(&view_); }
  Workspace ws_;
  CountingView view_;
};

struct Recognition {
  TPattern test;
  ScoreState scores;
};

// One image of a run: load under the guard, normalise the bank, score.
Recognition Recognize(Workspace& ws, const std::string& file) {
  LoadTestPicFile(file, ws.Image, ws.Bank.TestPattern());
  NormalizeBank(ws.Bank);
  RecognizeTestPattern(ws.Bank, ws.Tally(), ws.Scores);
  return {ws.Bank.TestPattern(), ws.Scores};
}

// Every image is normalised on its own content: the same picture gives the same pattern and
// the same scores first in a run, after another picture, and after itself.
TEST_F(WithWorkspace, SameImageScoresTheSameWhereverItComes) {
  const std::string a = Write("a.bmp", Picture(32, 32, kBlack, {{8, 12, 12, 16, Grey(150)}}));
  const std::string b = Write("b.bmp", Picture(32, 32, kBlack, {{0, 0, 20, 4, kWhite}}));
  auto setUp = [](Workspace& ws) {
    ws.Image.Settings.CheckBoxAuto = false;
    ws.Image.Settings.SetSpinEditTresh(20);
    ws.Image.Settings.SetSpinEditInc(0);  // grey 150 gives level 50
    for (int r = 1; r <= 8; ++r)
      for (int c = 1; c <= 5; ++c) ws.Bank.Slot(1).At(r, c) = {1, 100};
    for (int r = 1; r <= 2; ++r)
      for (int c = 1; c <= 10; ++c) ws.Bank.Slot(2).At(r, c) = {1, 100};
    ws.Bank.Slot(1).MaxLevel = ws.Bank.Slot(2).MaxLevel = 100;
  };
  setUp(ws_);
  const Recognition first = Recognize(ws_, a);
  EXPECT_TRUE(HoldsBlock(first.test, 1, 8, 1, 6, 100));  // moved up and left, stretched
  Recognize(ws_, b);
  const Recognition afterOther = Recognize(ws_, a);
  const Recognition again = Recognize(ws_, a);
  Workspace fresh(dir_.Path(), dir_.Path());
  setUp(fresh);
  fresh.Bank.TestPattern().MaxLevel = 25;  // a stale value must not matter either
  const Recognition freshFirst = Recognize(fresh, a);
  for (const Recognition* r : {&afterOther, &again, &freshFirst}) {
    EXPECT_TRUE(SameCells(r->test, first.test));
    EXPECT_EQ(r->test.MaxLevel, first.test.MaxLevel);
    for (int n = 1; n <= kReferenceCount; ++n) {
      EXPECT_EQ(r->scores.ScoreTable[n].H, first.scores.ScoreTable[n].H) << n;
      EXPECT_EQ(r->scores.ScoreTable[n].V, first.scores.ScoreTable[n].V) << n;
    }
    EXPECT_EQ(r->scores.BestNo, first.scores.BestNo);
    EXPECT_EQ(r->scores.BestScore, first.scores.BestScore);
  }
  EXPECT_EQ(first.scores.BestNo, 1);
}

// After "Load BMP" the preview and the editor belong to that picture: a run's loads touch
// neither, even when the automatic threshold changes; a later change of the threshold
// re-samples the editor from the run's last raster.
TEST_F(WithWorkspace, GuardKeepsPreviewAndEditorDuringARun) {
  const std::string shown = Write("shown.bmp", Picture(16, 16, kBlack, {{0, 0, 4, 4, kWhite}}));
  const std::string run = Write("run.bmp", Picture(20, 20, Grey(130), {{10, 10, 10, 10, kWhite}}));
  ws_.ButtonBMPClick(shown);
  EXPECT_TRUE(HoldsBlock(ws_.Bank.EditPattern(), 1, 4, 1, 4, 100));
  const Bitmap preview = ws_.Image.Preview;
  const TPattern edit = ws_.Bank.EditPattern();
  const int threshold = ws_.Image.Settings.SpinEditTresh();
  view_.previews = view_.edits = 0;

  LoadTestPicFile(run, ws_.Image, ws_.Bank.TestPattern());
  EXPECT_NE(ws_.Image.Settings.SpinEditTresh(), threshold);
  EXPECT_EQ(view_.previews, 0);
  EXPECT_EQ(view_.edits, 0);
  EXPECT_EQ(ws_.Image.Preview, preview);
  EXPECT_TRUE(SameCells(ws_.Bank.EditPattern(), edit));
  EXPECT_TRUE(HoldsBlock(ws_.Bank.TestPattern(), 9, 16, 9, 16, 100));

  ws_.Image.Settings.SetSpinEditTresh(ws_.Image.Settings.SpinEditTresh() + 1);
  EXPECT_EQ(view_.edits, 1);
  EXPECT_TRUE(SameCells(ws_.Bank.EditPattern(), ws_.Bank.TestPattern()));
}

// Without the guard the automatic threshold of a load re-samples the editor by itself. With
// "Black" the raster's threshold differs from the file's (92, then 67), so the second
// analysis changes it and samples the new raster.
TEST_F(WithWorkspace, ThresholdChangeResamplesTheEditorWithoutGuard) {
  const std::string file = Write("x.bmp", Picture(16, 16, kBlack, {{12, 8, 4, 8, kWhite}}));
  ws_.Image.Settings.RadioGroupCol = 1;
  LoadBitmapFile(file, ws_.Image);
  EXPECT_GT(view_.edits, 0);
  EXPECT_GT(view_.previews, 0);
  EXPECT_EQ(ws_.Image.Settings.SpinEditTresh(), 67);
  EXPECT_TRUE(HoldsBlock(ws_.Bank.EditPattern(), 9, 16, 13, 16, 100));
}

TEST_F(WithWorkspace, ColourBeforeAnyPictureFailsAndKeepsTheSelection) {
  try {
    ws_.RadioGroupColClick(1);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("Load BMP"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ws_.Image.Settings.RadioGroupCol, 1);
}

// "Color" reloads the picture unscaled in its own colours into the raster, shows it at
// Trunc(w s) x Trunc(h s), analyses the preview and samples the editor from the raster.
TEST_F(WithWorkspace, ColourReloadsThePictureUnscaled) {
  const Bitmap picture = Picture(32, 16, kWhite, {{0, 0, 16, 8, kRed}, {16, 8, 16, 8, kBlack}});
  const std::string file = Write("wide.bmp", picture);
  ws_.ButtonBMPClick(file);
  view_.previews = 0;
  ws_.RadioGroupColClick(1);
  EXPECT_EQ(ws_.Image.ScaledBitmap, picture);
  EXPECT_EQ(ws_.Image.Preview.Width(), 64);
  EXPECT_EQ(ws_.Image.Preview.Height(), 32);
  EXPECT_EQ(ws_.Image.Preview.Pixel(0, 0), Grey(255 - 76));  // grey, inverted
  EXPECT_EQ(ws_.Image.Preview.Pixel(63, 31), kWhite);
  EXPECT_EQ(ws_.Image.ImageName, "Image: " + file);
  EXPECT_GT(view_.previews, 0);
  // Blocks of 2 pixels on the 32 x 16 picture, so rows 9..16 lie below it: red (76) is below
  // the threshold found on the preview, white is above; the black quarter is empty.
  const int threshold = ws_.Image.Settings.SpinEditTresh();
  ASSERT_LT(76 * 100, 255 * threshold);
  for (int r = 1; r <= 16; ++r)
    for (int c = 1; c <= 16; ++c)
      EXPECT_EQ(ws_.Bank.EditPattern().At(r, c).Level, r > 8 || (r > 4) == (c > 8) ? 0 : 100)
          << r << "," << c;
}

}  // namespace
}  // namespace morvik
