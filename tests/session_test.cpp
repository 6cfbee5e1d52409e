// The domain operations beneath the form and the command line: a picture's whole path,
// recognising a pattern, learning, set files, the numbered-bitmap walk and whole numbers.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/error.h"
#include "core/normalize.h"
#include "core/whole_number.h"
#include "form/image_state.h"
#include "golden/glyphs.h"
#include "image/bmp_reader.h"
#include "image/picture_loading.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "runs/numbered_bitmaps.h"
#include "session/recognition.h"
#include "session/set_io.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

class Domain : public testing::Test {
 protected:
  // learn/<k + 1>.bmp holds glyph digits[k].
  void WriteLearnFolder() {
    fs::create_directory(dir.File("learn"));
    for (int k = 0; k < 10; ++k)
      test::WriteGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"), '0' + k);
  }
  test::TempDir dir;
};

// The raster an image names lives only during the call: its width is taken there.
struct Recorder : RunObserver {
  std::vector<RecognizedImage> images;
  std::vector<int> scaledWidths;
  void ImageRecognized(const RecognizedImage& image) override {
    images.push_back(image);
    scaledWidths.push_back(image.Scaled ? image.Scaled->Width() : -1);
  }
};

bool SameRanks(const std::array<TRankEntry, 3>& a, const std::array<TRankEntry, 3>& b) {
  for (std::size_t k = 0; k < a.size(); ++k)
    if (a[k].No != b[k].No || a[k].Score != b[k].Score) return false;
  return true;
}

// Recognising a loaded picture gives exactly what a folder run reports for the same file,
// and what the window's own path (load into the TestPattern, normalise, rank) gives.
TEST_F(Domain, RecognizeGivesTheNumbersOfARun) {
  WriteLearnFolder();
  fs::create_directory(dir.File("pics"));
  const std::string glyphs = "7149";
  for (std::size_t c = 0; c < glyphs.size(); ++c)
    test::WriteGlyph(dir.File("pics/1_" + std::to_string(c) + ".bmp"), glyphs[c], 40 + 7 * c, 64);

  Session run;
  ASSERT_EQ(LearnReferences(run, dir.File("learn")).size(), 10u);
  Recorder recorder;
  const FolderRunResult result = RecognizeFolder(run, {dir.File("pics"), false}, recorder);
  ASSERT_TRUE(result.FolderFound);
  ASSERT_EQ(result.Images, 4);

  Session single, legacy;
  LearnReferences(single, dir.File("learn"));
  LearnReferences(legacy, dir.File("learn"));
  ImageState state;
  for (const RecognizedImage& image : recorder.images) {
    const Recognition r = Recognize(single, LoadPictureFile(image.FileName, single.Image).Pattern);
    EXPECT_TRUE(SameRanks(r.Best, image.TopThree)) << image.FileName;
    LoadTestPicFile(image.FileName, state, legacy.Bank.TestPattern());
    NormalizeBank(legacy.Bank);
    RecognizeTestPattern(legacy.Bank, legacy.Tally, legacy.Scores);
    EXPECT_TRUE(SameRanks(legacy.Scores.TopThree, image.TopThree)) << image.FileName;
  }
  EXPECT_EQ(recorder.images[0].TopThree[0].No, 8);  // the glyph '7' learned as slot 8
}

// A picture whose raster has no width gives no pattern: it ranks nothing instead of
// repeating the result of the picture before it.
TEST_F(Domain, PictureWithoutRasterRanksNothing) {
  WriteLearnFolder();
  fs::create_directory(dir.File("pics"));
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '4');
  Bitmap thin(1, 100);  // its proportions give a raster 0 pixels wide
  thin.Fill(kWhite);
  test::WriteBmp24(dir.File("pics/1_1.bmp"), thin);
  Session s;
  s.Image.FixedRatio = false;
  s.Image.AutoThreshold = false;  // an empty raster has no threshold to find
  LearnReferences(s, dir.File("learn"));
  Recorder recorder;
  ASSERT_EQ(RecognizeFolder(s, {dir.File("pics"), false}, recorder).Images, 2);
  const int first = recorder.images[0].TopThree[0].No;
  EXPECT_NE(first, 0);
  EXPECT_EQ(recorder.scaledWidths[1], 0);
  EXPECT_EQ(recorder.images[1].TopThree[0].No, 0);
  const std::string txt = test::ReadFile(dir.File("pics/result.txt"));
  EXPECT_EQ(txt.substr(txt.size() - 8), " 0 0  \r\n") << txt;
}

// A session passed as const stays as it is and still gives the numbers of the run.
TEST_F(Domain, RecognizeLeavesAConstSessionAsItIs) {
  WriteLearnFolder();
  Session learned, changing;
  LearnReferences(learned, dir.File("learn"));
  LearnReferences(changing, dir.File("learn"));
  const TPatternBank before = learned.Bank;
  for (char c : std::string("30871")) {
    const std::string file = dir.File(std::string(1, c) + ".bmp");
    test::WriteGlyph(file, c, 30, 60);
    const TPattern pattern = LoadPictureFile(file, learned.Image).Pattern;
    const Session& fixed = learned;
    EXPECT_TRUE(SameRanks(Recognize(fixed, pattern).Best, Recognize(changing, pattern).Best)) << c;
  }
  for (int k = 1; k <= kTestSlot; ++k) {
    EXPECT_EQ(learned.Bank.Slot(k).Cells, before.Slot(k).Cells) << k;
    EXPECT_EQ(learned.Bank.Slot(k).RowCount, before.Slot(k).RowCount) << k;
  }
}

TEST_F(Domain, PictureFromMemoryEqualsPictureFromFile) {
  const std::string file = dir.File("g.bmp");
  test::WriteGlyph(file, '3', 30, 50);
  ImageOptions options;
  options.Crop = true;
  const LoadedPicture a = LoadPictureFile(file, options);
  const std::string bytes = test::ReadFile(file);
  const LoadedPicture b = LoadPicture(
      DecodeBmp(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), "g"), options);
  EXPECT_EQ(a.Pattern.Cells, b.Pattern.Cells);
  EXPECT_EQ(a.Pattern.MaxLevel, b.Pattern.MaxLevel);
  EXPECT_EQ(a.Raster, b.Raster);
  EXPECT_EQ(a.Threshold, b.Threshold);
  EXPECT_EQ(a.Increment, b.Increment);
  EXPECT_GT(a.Raster.Width(), 0);
  EXPECT_GT(a.Pattern.MaxLevel, 0);
}

// The settings the analysis chose come back with the picture; without automatic detection
// the given ones are used as they are.
TEST_F(Domain, LoadPictureReturnsTheThresholdItUsed) {
  const Bitmap glyph = test::GlyphBitmap('5', 32, 32);
  ImageOptions fixed;
  fixed.AutoThreshold = false;
  fixed.Threshold = 30;
  fixed.Increment = 20;
  const LoadedPicture p = LoadPicture(glyph, fixed);
  EXPECT_EQ(p.Threshold, 30);
  EXPECT_EQ(p.Increment, 20);
  const LoadedPicture automatic = LoadPicture(glyph, ImageOptions{});
  EXPECT_EQ(automatic.Threshold + automatic.Increment, 100);
}

TEST_F(Domain, PictureWithoutPixelsNamesItsSource) {
  Bitmap white(8, 8);
  white.Fill(kWhite);
  ImageOptions crop;
  crop.Crop = true;  // under threshold 0 the crop keeps no pixel
  crop.AutoThreshold = false;
  crop.Threshold = 0;
  try {
    LoadPicture(white, crop, "blank picture");
    ADD_FAILURE() << "an empty crop loaded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("blank picture: ", 0), 0u) << e.what();
  }
}

TEST_F(Domain, LearnReferencesReturnsTheSlotsLearned) {
  fs::create_directory(dir.File("learn"));
  for (int n : {2, 5, 40}) test::WriteGlyph(dir.File("learn/" + std::to_string(n) + ".bmp"), '1');
  test::WriteGlyph(dir.File("learn/41.bmp"), '1');  // beyond the references
  Session s;
  s.Bank.Slot(3).At(1, 1) = {1, 50};
  EXPECT_EQ(LearnReferences(s, dir.File("LEARN")), (std::vector<int>{2, 5, 40}));  // any case
  EXPECT_GT(s.Bank.Slot(5).MaxLevel, 0);
  EXPECT_EQ(s.Bank.Slot(3).At(1, 1).Level, 50);  // kept
  EXPECT_EQ(s.Bank.TestPattern().Cells, s.Bank.Slot(40).Cells);
  EXPECT_TRUE(LearnReferences(s, "").empty());
}

TEST_F(Domain, SetFilesReportWhichFilesFailed) {
  Session s;
  s.Bank.Slot(1).At(2, 2) = {1, 100};
  s.Bank.Slot(1).MaxLevel = 100;
  const std::string missing = dir.File("nofolder/set");
  EXPECT_EQ(SaveSet(s, missing), (std::vector<std::string>{missing + ".PCP", missing + ".PCT"}));
  EXPECT_EQ(OpenSet(s, missing), (std::vector<std::string>{missing + ".PCP"}));

  const std::string base = dir.File("set");
  EXPECT_TRUE(SaveSet(s, base).empty());
  EXPECT_EQ(fs::file_size(base + ".PCP"), 40u * 517u);
  Session t;
  EXPECT_TRUE(OpenSet(t, base).empty());
  EXPECT_EQ(t.Bank.Slot(1).At(2, 2).Level, 100);
  fs::remove(base + ".PCT");
  EXPECT_EQ(OpenSet(t, base), (std::vector<std::string>{base + ".PCT"}));
}

TEST(NumberedBitmaps, FixedAndDynamicWalks) {
  test::TempDir dir;
  for (const char* name : {"1_0.bmp", "1_1.bmp", "1_3.bmp", "2_0.bmp", "4_0.bmp", "0_10.bmp"})
    test::WriteFile(dir.File(name), "x");
  fs::create_directory(dir.File("3_0.bmp"));  // a folder is no bitmap
  const auto fixed = ListNumberedBitmaps(dir.Path(), false);
  ASSERT_EQ(fixed.size(), 2u);
  EXPECT_EQ(fixed[0].size(), 2u);  // 1_3 comes after a gap
  EXPECT_EQ(fixed[1].size(), 1u);
  EXPECT_EQ(fixed[1][0].Path, BitmapName(dir.Path(), 2, 0));
  const auto dynamic = ListNumberedBitmaps(dir.Path(), true);
  ASSERT_EQ(dynamic.size(), 11u);
  EXPECT_EQ(dynamic[0].size(), 1u);
  EXPECT_EQ(dynamic[0][0].Column, 10);
  EXPECT_EQ(dynamic[1].size(), 3u);
  EXPECT_TRUE(dynamic[3].empty());
  EXPECT_EQ(CountBitmaps(dynamic), 6);
}

TEST(WholeNumber, Forms) {
  struct Case {
    const char* text;
    bool hex;
    bool ok;
    long value;
  };
  const Case cases[] = {
      {"75", true, true, 75},
      {"+7", true, true, 7},
      {"-12", true, true, -12},
      {"0x1F", true, true, 31},
      {"-0X10", true, true, -16},
      {"0x1F", false, false, 0},
      {"2147483647", true, true, 2147483647L},
      {"2147483648", true, false, 0},
      {"-2147483648", false, true, -2147483648L},
      {"", true, false, 0},
      {"-", true, false, 0},
      {"0x", true, false, 0},
      {"1a", true, false, 0},
      {" 1", true, false, 0},
  };
  for (const Case& c : cases) {
    long v = 0;
    EXPECT_EQ(ParseWholeNumber(c.text, v, c.hex), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(WithFileName, NamesTheFileOnceAndPassesResults) {
  EXPECT_EQ(WithFileName("f", [] { return 4; }), 4);
  try {
    WithFileName("pics/a.bmp", []() -> int { throw Error("too small"); });
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "pics/a.bmp: too small");
  }
}

}  // namespace
}  // namespace morvik
