// Tests of folder recognition: the result.out item for every mode, fixed and dynamic naming,
// the byte layout of both result files, compare mode, and the failure paths.
#include "runs/folder_run.h"
#include "form/run_buttons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/number_format.h"
#include "golden/glyphs.h"
#include "image/picture_loading.h"
#include "runs/learning.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// The result.out item

struct ItemCase {
  bool loaded, compare;
  char expected;
  int n;
  double s;
  std::string item;
};

TEST(ResultOutItem, FollowsMapAndCompareMode) {
  CharMapState chars;
  chars.CharMap[7] = '7';
  chars.CharMap[30] = 'Z';
  chars.CharMap[0] = '#';
  const std::vector<ItemCase> cases = {
      {false, false, 0, 12, 0.5, "2"},    {false, false, 0, 40, 0.5, "0"},
      {false, false, 0, 0, 0.0, "0"},     {false, false, 0, 30, 0.9, "0"},
      {false, false, 0, 7, 0.9, "7"},     {true, false, 0, 30, 0.9, "Z"},
      {true, false, 0, 0, 0.0, "#"},      {true, false, 0, 12, 0.9, std::string(1, '\0')},
      {true, true, '7', 7, 0.93, "0.93"}, {true, true, '7', 7, 0.91234, "0.912"},
      {true, true, '7', 7, 1.0, "1"},     {true, true, '7', 30, 0.88, "N"},
      {true, true, 'Z', 30, 0.5, "0.5"},  {true, true, '7', 0, 0.0, "N"},
      {false, true, '7', 7, 0.93, "7"},   {false, true, '7', 12, 0.93, "2"},
  };
  for (const ItemCase& c : cases) {
    chars.CharMapLoaded = c.loaded;
    chars.CharCompareMode = c.compare;
    chars.ExpectedChar = c.expected;
    EXPECT_EQ(ResultOutItem(chars, c.n, c.s), c.item)
        << "map " << c.loaded << " compare " << c.compare << " n " << c.n << " s " << c.s;
  }
}

TEST(BitmapName, RowUnderscoreColumn) {
  EXPECT_EQ(BitmapName("pics", 1, 0), "pics/1_0.bmp");
  EXPECT_EQ(BitmapName("/a/b", 10, 10), "/a/b/10_10.bmp");
}

// Where "<r>_<c>.bmp" is missing, the same name as PNG, PGM, PPM or PBM takes its place, in
// that order; anything else (another extension, a folder) leaves the name missing.
TEST(NumberedPictures, OtherFormatsWhereTheBmpIsMissing) {
  test::TempDir dir;
  for (const char* name : {"1_0.bmp", "1_0.png", "1_1.png", "1_2.ppm", "1_2.pgm", "1_3.pbm",
                           "1_5.png", "2_0.ppm", "3_1.bmp", "0_0.pgm", "4_0.BMP.png"})
    test::WriteFile(dir.File(name), "");
  test::WriteFile(dir.File("1_4.gif"), "");
  fs::create_directory(dir.File("3_0.png"));
  const auto names = [&](bool dynamic) {
    std::vector<std::string> found;
    for (const BitmapRow& row : ListNumberedBitmaps(dir.Path(), dynamic))
      for (const NumberedBitmap& b : row)
        found.push_back(fs::path(b.Path).filename().string() + "@" + std::to_string(b.Row) + "," +
                        std::to_string(b.Column));
    return found;
  };
  EXPECT_EQ(names(false), (std::vector<std::string>{"1_0.bmp@1,0", "1_1.png@1,1", "1_2.pgm@1,2",
                                                    "1_3.pbm@1,3", "2_0.ppm@2,0"}));
  EXPECT_EQ(names(true),
            (std::vector<std::string>{"0_0.pgm@0,0", "1_0.bmp@1,0", "1_1.png@1,1", "1_2.pgm@1,2",
                                      "1_3.pbm@1,3", "1_5.png@1,5", "2_0.ppm@2,0", "3_1.bmp@3,1"}));
}

// ---------------------------------------------------------------------------------------------
// Runs

struct RecordingView : WorkspaceView {
  struct Image {
    std::string file;
    int row, column;
    std::array<TRankEntry, 3> top;
    int scaledWidth, scaledHeight;
  };
  std::vector<Image> images;
  std::vector<std::string> messages;
  int cleared = 0;
  void ThumbnailsCleared() override { ++cleared; }
  void Message(const std::string& text) override { messages.push_back(text); }
  void ImageRecognized(const RecognizedImage& r) override {
    images.push_back({fs::path(r.FileName).filename().string(), r.Row, r.Column, r.TopThree,
                      r.Scaled ? r.Scaled->Width() : -1, r.Scaled ? r.Scaled->Height() : -1});
  }
};

class FolderRun : public testing::Test {
 protected:
  FolderRun() : ws(dir.Path(), dir.File("start")) {
    fs::create_directory(dir.File("start"));
    fs::create_directory(dir.File("pics"));
    ws.SetView(&view);
    ws.EditPatternsBatch = dir.File("pics");
  }
  // Slot k + 1 learns the glyph text[k].
  void Learn(const std::string& text) {
    fs::create_directory(dir.File("learn"));
    for (std::size_t k = 0; k < text.size(); ++k) {
      const std::string name = dir.File("learn/" + std::to_string(k + 1) + ".bmp");
      test::WriteGlyph(name, text[k]);
      LearnPattern(ws.Prepared(), static_cast<int>(k + 1), name);
    }
  }
  void MapSlotsTo(const std::string& text) {
    ws.Chars.CharMapLoaded = true;
    for (std::size_t k = 0; k < text.size(); ++k) ws.Chars.CharMap[k + 1] = text[k];
  }
  void Glyph(const std::string& name, char c, int w = 64, int h = 64) {
    test::WriteGlyph(dir.File("pics/" + name), c, w, h);
  }
  // A file no reader accepts: the run fails if it ever opens it.
  void Poison(const std::string& name) { test::WriteFile(dir.File("pics/" + name), "not a bmp"); }
  std::string Txt() { return test::ReadFile(dir.File("pics/result.txt")); }
  std::string Out() { return test::ReadFile(dir.File("pics/result.out")); }

  test::TempDir dir;
  RecordingView view;
  Workspace ws;
};

TEST_F(FolderRun, FixedNamingStopsAtFirstMissingColumnAndRow) {
  Learn("0123456789");
  MapSlotsTo("0123456789");
  Glyph("1_0.bmp", '3');
  Glyph("1_1.bmp", '1');
  Poison("1_3.bmp");  // after the missing 1_2: never read
  Glyph("2_0.bmp", '7');
  Poison("0_0.bmp");  // fixed naming starts at row 1
  Poison("3_1.bmp");  // row 3 has no column 0: the run has ended
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Txt(), "4 1 2 1  \r\n8 1  \r\n");
  EXPECT_EQ(Out(), "31\r\n7\r\n");
  ASSERT_EQ(view.images.size(), 3u);
  EXPECT_EQ(view.images[0].file, "1_0.bmp");
  EXPECT_EQ(view.images[1].row * 100 + view.images[1].column, 101);
  EXPECT_EQ(view.images[2].row * 100 + view.images[2].column, 200);
  EXPECT_EQ(view.images[2].scaledWidth, 64);
  EXPECT_EQ(view.cleared, 1);
}

TEST_F(FolderRun, FixedNamingWithoutMapWritesLastDigit) {
  Learn("0123456789AB");  // slot 11 = A, 12 = B
  Glyph("1_0.bmp", 'A');
  Glyph("1_1.bmp", '9');
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Txt(), "11 1 10 1  \r\n");
  EXPECT_EQ(Out(), "10\r\n");
}

TEST_F(FolderRun, FixedNamingWithOnlyRowZeroCreatesEmptyFiles) {
  Learn("01");
  Poison("0_0.bmp");
  test::WriteFile(dir.File("pics/result.txt"), "old");
  test::WriteFile(dir.File("pics/result.out"), "old");
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_TRUE(fs::exists(dir.File("pics/result.txt")));
  EXPECT_EQ(Txt(), "");
  EXPECT_EQ(Out(), "");
  EXPECT_TRUE(view.images.empty());
}

TEST_F(FolderRun, DynamicNamingWritesElevenLines) {
  Learn("0123456789");
  MapSlotsTo("0123456789");
  ws.CheckBoxDynamic = true;
  Glyph("0_0.bmp", '5');
  Glyph("10_10.bmp", '6');
  Poison("11_0.bmp");  // rows and columns above 10 are never tried
  Poison("0_11.bmp");
  Poison("1_0.BMP");  // a bitmap name is taken as it is
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  std::string blankRows, emptyRows;
  for (int k = 0; k < 9; ++k) blankRows += " \r\n", emptyRows += "\r\n";
  EXPECT_EQ(Txt(), "6 1  \r\n" + blankRows + "7 1  \r\n");
  EXPECT_EQ(Out(), "5\r\n" + emptyRows + "6\r\n");
  ASSERT_EQ(view.images.size(), 2u);
  EXPECT_EQ(view.images[0].row * 100 + view.images[0].column, 0);
  EXPECT_EQ(view.images[1].row * 100 + view.images[1].column, 1010);
}

TEST_F(FolderRun, ResultTxtLayoutWithScoresBelowOne) {
  Learn("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  Glyph("1_0.bmp", '5', 40, 56);  // odd sizes give scores below 1
  Glyph("1_1.bmp", 'U', 40, 56);
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  ASSERT_EQ(view.images.size(), 2u);
  std::string line;
  for (const auto& image : view.images) {
    const TRankEntry best = image.top[0];
    EXPECT_LT(best.Score, 1.0);
    EXPECT_GT(best.Score, 0.0);
    line += std::to_string(best.No) + " " + FormatScore(best.Score) + " ";
  }
  EXPECT_EQ(Txt(), line + " \r\n");
  EXPECT_EQ(Out().size(), 4u);
}

TEST_F(FolderRun, NothingScoredWritesZeroZero) {
  Glyph("1_0.bmp", '5');  // no reference at all
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Txt(), "0 0  \r\n");
  EXPECT_EQ(Out(), "0\r\n");
  ws.Chars.CharMapLoaded = true;
  ws.Chars.CharMap[0] = '?';
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Out(), "?\r\n");
}

TEST_F(FolderRun, UnmappedNumberWritesByteZero) {
  Learn("0123");
  ws.Chars.CharMapLoaded = true;  // a map that names no number
  Glyph("1_0.bmp", '2');
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Out(), std::string("\0\r\n", 3));
}

TEST_F(FolderRun, CompareModeRowOfScoresAndN) {
  Learn("0123456789");
  MapSlotsTo("0123456789");
  ws.Chars.CharCompareMode = true;
  ws.Chars.ExpectedChar = '7';
  Glyph("1_0.bmp", '7', 44, 60);
  Glyph("1_1.bmp", '1');
  Glyph("1_2.bmp", '7', 60, 64);
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  ASSERT_EQ(view.images.size(), 3u);
  ASSERT_EQ(view.images[0].top[0].No, 8);
  ASSERT_EQ(view.images[1].top[0].No, 2);
  ASSERT_EQ(view.images[2].top[0].No, 8);
  EXPECT_LT(view.images[0].top[0].Score, 1.0);
  EXPECT_LT(view.images[2].top[0].Score, 1.0);
  EXPECT_EQ(Out(), FormatScore(view.images[0].top[0].Score) + "N" +
                       FormatScore(view.images[2].top[0].Score) + "\r\n");
  EXPECT_EQ(Out().find("N"), FormatScore(view.images[0].top[0].Score).size());
}

TEST_F(FolderRun, CompareModeWithoutMapWritesDigits) {
  Learn("0123456789");
  ws.Chars.CharCompareMode = true;
  ws.Chars.ExpectedChar = '7';
  Glyph("1_0.bmp", '7');
  Glyph("1_1.bmp", '1');
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Out(), "82\r\n");
}

// A picture that cannot be read counts as blank: pattern 0, score 0, CharMap[0]. The run
// finishes every other picture and lists the failures in one message at its end.
TEST_F(FolderRun, UnreadablePictureIsBlankAndTheRunGoesOn) {
  Learn("0123456789");
  MapSlotsTo("0123456789");
  ws.Chars.CharMap[0] = '?';
  Glyph("1_0.bmp", '4');
  Poison("1_1.bmp");
  Glyph("1_2.bmp", '4');
  Poison("2_0.bmp");
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(Txt(), "5 1 0 0 5 1  \r\n0 0  \r\n");
  EXPECT_EQ(Out(), "4?4\r\n?\r\n");
  ASSERT_EQ(view.images.size(), 4u);
  EXPECT_EQ(view.images[1].scaledWidth, 0);  // its thumbnail has no picture
  EXPECT_EQ(view.images[1].top[0].No, 0);
  ASSERT_EQ(view.messages.size(), 1u);
  const std::string& message = view.messages[0];
  EXPECT_EQ(message.rfind("2 pictures could not be read", 0), 0u) << message;
  EXPECT_NE(message.find("\n" + dir.File("pics/1_1.bmp") + ": "), std::string::npos) << message;
  EXPECT_NE(message.find("\n" + dir.File("pics/2_0.bmp") + ": "), std::string::npos) << message;

  RunObserver quiet;
  const FolderRunResult result = RecognizeFolder(ws.Domain, {dir.File("pics"), true}, quiet);
  EXPECT_EQ(result.Images, 4);
  ASSERT_EQ(result.Failed.size(), 2u);
  EXPECT_EQ(result.Failed[0].rfind(dir.File("pics/1_1.bmp") + ": ", 0), 0u) << result.Failed[0];
}

// Pictures with nothing left to sample are blank: they match no reference, and the run goes
// on. (Loaded one at a time by hand, the same pictures are refused.)
TEST_F(FolderRun, BlankPicturesMatchNothing) {
  struct Case {
    const char* what;
    Colour ground;
    int width, height;
    bool crop, autodetect;
    int threshold;
  };
  const Case cases[] = {
      {"white, background white under threshold 0", kWhite, 8, 8, true, false, 0},
      {"dark grey under threshold 45", MakeColour(60, 60, 60), 8, 8, true, false, 45},
      {"black, threshold found", kBlack, 8, 8, true, true, 45},
      {"65 x 1: a raster of no pixels", kWhite, 65, 1, false, true, 45},
  };
  Learn("0123456789");
  MapSlotsTo("0123456789");
  ws.Chars.CharMap[0] = '?';
  for (const Case& c : cases) {
    view.images.clear();
    Glyph("1_0.bmp", '4');
    Bitmap blank(c.width, c.height);
    blank.Fill(c.ground);
    test::WriteBmp24(dir.File("pics/1_1.bmp"), blank);
    Glyph("1_2.bmp", '4');
    ws.Image.Settings.CheckBoxCrop = c.crop;
    ws.Image.Settings.CheckBoxAuto = c.autodetect;
    ws.Image.Settings.SetSpinEditTresh(c.threshold);
    ASSERT_TRUE(ButtonRecognizeClick(ws)) << c.what;
    ASSERT_EQ(view.images.size(), 3u) << c.what;
    EXPECT_EQ(view.images[1].top[0].No, 0) << c.what;
    EXPECT_EQ(view.images[1].top[0].Score, 0.0) << c.what;
    EXPECT_EQ(Out().substr(1, 1), "?") << c.what;
    const std::string txt = Txt();
    EXPECT_NE(txt.find(" 0 0 "), std::string::npos) << c.what << ": " << txt;
    EXPECT_TRUE(view.messages.empty()) << c.what;
    EXPECT_THROW(LoadPictureFile(dir.File("pics/1_1.bmp"), ws.Prepared().Image), Error) << c.what;
  }
}

TEST_F(FolderRun, MissingFolderTouchesNothing) {
  ws.EditPatternsBatch = dir.File("none");
  EXPECT_FALSE(ButtonRecognizeClick(ws));
  ws.CheckBoxDynamic = true;
  EXPECT_FALSE(ButtonRecognizeClick(ws));
  ws.EditPatternsBatch = "";  // names no folder, not the home folder
  Glyph("../1_0.bmp", '1');
  ws.CheckBoxDynamic = false;
  EXPECT_FALSE(ButtonRecognizeClick(ws));
  EXPECT_FALSE(fs::exists(dir.File("result.txt")));
  EXPECT_EQ(view.cleared, 0);
  EXPECT_FALSE(fs::exists(dir.File("none")));
  EXPECT_EQ(ws.CurrentFolder(), ws.HomeFolder());
}

TEST_F(FolderRun, RelativeFolderIsTakenInTheHomeFolder) {
  Learn("0123456789");
  // The same name beside the start folder holds a picture that must not be read.
  fs::create_directory(dir.File("start/pics"));
  test::WriteFile(dir.File("start/pics/1_0.bmp"), "not a bmp");
  Glyph("1_0.bmp", '9');
  ws.EditPatternsBatch = "PICS";  // found without regard to case, like the set files
  ASSERT_TRUE(ButtonRecognizeClick(ws));
  EXPECT_EQ(ws.CurrentFolder(), dir.Path());
  EXPECT_EQ(Txt(), "10 1  \r\n");
  EXPECT_FALSE(fs::exists(dir.File("start/pics/result.txt")));
}

}  // namespace
}  // namespace morvik
