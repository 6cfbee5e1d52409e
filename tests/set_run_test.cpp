// Tests of runs against named sets: how a set's stored settings meet the run's own and its
// options, the numbers and maps the result files use, and that every set, sampled under its
// own settings, scores exactly as a run with that set alone.
#include "runs/set_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "golden/glyphs.h"
#include "runs/learning.h"
#include "session/recognition.h"
#include "test_util.h"

namespace morvik {
namespace {

struct SettingsCase {
  const char* what;
  SetSettings stored, overrides;
  bool crop, autoThreshold;
  int threshold;
  double tally;
};

SetSettings Crop(bool on) {
  SetSettings s;
  s.AutoCrop = on;
  return s;
}

TEST(SetRunSettings, StoredOverTheRunsOwnOptionsOverBoth) {
  SetSettings manual;
  manual.Autodetect = false;
  manual.Threshold = 30;
  manual.Tally = 60;
  SetSettings threshold;
  threshold.Threshold = 70;
  const std::vector<SettingsCase> cases = {
      {"nothing stored", {}, {}, false, true, 45, 0.75},
      {"stored crop", Crop(true), {}, true, true, 45, 0.75},
      {"option wins over stored", Crop(false), Crop(true), true, true, 45, 0.75},
      {"stored manual threshold and tally", manual, {}, false, false, 30, 0.6},
      {"option threshold, stored rest", manual, threshold, false, false, 70, 0.6},
  };
  const ImageOptions run;
  for (const SettingsCase& c : cases) {
    const SetRunSettings s = SetRunSettingsOf(run, 0.75, c.stored, c.overrides);
    EXPECT_EQ(s.Image.Crop, c.crop) << c.what;
    EXPECT_EQ(s.Image.AutoThreshold, c.autoThreshold) << c.what;
    EXPECT_EQ(s.Image.Threshold, c.threshold) << c.what;
    EXPECT_EQ(s.Tally, TallyOf(std::to_string(static_cast<int>(c.tally * 100 + 0.5)))) << c.what;
  }
}

TEST(SetRun, NumbersStayUniqueOverTheSets) {
  struct Case {
    int set, no;
    std::size_t sets;
    int number;
  };
  for (const Case& c : std::vector<Case>{{0, 7, 1, 7},
                                         {0, 7, 3, 7},
                                         {1, 7, 3, 47},
                                         {2, 40, 3, 120},
                                         {-1, 0, 3, 0},
                                         {-1, 0, 1, 0}})
    EXPECT_EQ(RunNumber(LibraryMatch{c.set, c.no, 0.5, 0}, c.sets), c.number)
        << c.set << " " << c.no;
}

TEST(SetRun, SetsWithoutAMapTakeTheRunsAndItsCompareMode) {
  ReferenceLibrary library;
  library.Sets.resize(2);
  library.Sets[0].Chars.CharMapLoaded = true;
  library.Sets[0].Chars.CharMap[1] = 'A';
  CharMapState run;
  run.CharMapLoaded = true;
  run.CharMap[1] = '1';
  run.CharCompareMode = true;
  run.ExpectedChar = 'A';
  SetRun own = MakeSetRun(library, ImageOptions{}, 0.75, {}, run, false, {});
  EXPECT_EQ(own.Library.Sets[0].Chars.CharMap[1], 'A');
  EXPECT_EQ(own.Library.Sets[1].Chars.CharMap[1], '1');
  EXPECT_TRUE(own.Library.Sets[0].Chars.CharCompareMode);
  EXPECT_EQ(own.Library.Sets[1].Chars.ExpectedChar, 'A');
  EXPECT_EQ(&MatchChars(own, LibraryMatch{1, 1, 0.5, '1'}), &own.Library.Sets[1].Chars);
  EXPECT_EQ(&MatchChars(own, LibraryMatch{}), &own.Library.Sets[0].Chars);
  const SetRun replaced = MakeSetRun(library, ImageOptions{}, 0.75, {}, run, true, {});
  EXPECT_EQ(replaced.Library.Sets[0].Chars.CharMap[1], '1');
  // No map anywhere: answers are digits, and a filter finds nothing to admit.
  const SetRun none = MakeSetRun(ReferenceLibrary{{ReferenceSet{}}}, {}, 0.75, {}, {}, false, {});
  EXPECT_FALSE(AnySetMapped(none));
  EXPECT_TRUE(AnySetMapped(own));
  EXPECT_THROW(MakeSetRun(ReferenceLibrary{}, {}, 0.75, {}, {}, false, {}), Error);
}

// A glyph small in a large picture, away from the corner, so that cropping matters.
void WriteSmallGlyph(const std::string& path, char c, int shift) {
  const Bitmap glyph = test::GlyphBitmap(c, 24, 32);
  Bitmap b(96, 96);
  b.Fill(MakeColour(20, 20, 20));
  for (int y = 0; y < glyph.Height(); ++y)
    for (int x = 0; x < glyph.Width(); ++x) b.SetPixel(x + 20 + shift, y + 30, glyph.Pixel(x, y));
  test::WriteBmp8Grey(path, b);
}

// Sets learned from the same pictures with and without cropping, used together: each scores
// every reference exactly as a run with that set alone and its settings does.
TEST(SetRun, EverySetSampledUnderItsOwnSettingsScoresAsAlone) {
  test::TempDir dir;
  const std::string text = "0123456789";
  for (std::size_t k = 0; k < text.size(); ++k)
    WriteSmallGlyph(dir.File(std::to_string(k + 1) + ".bmp"), text[k], static_cast<int>(k));
  WriteSmallGlyph(dir.File("test.bmp"), '7', 30);

  std::vector<ImageOptions> options(2);
  options[0].Crop = true;
  options[1].Crop = false;
  const std::vector<double> tallies = {0.75, 0.5};
  ReferenceLibrary library;
  for (std::size_t s = 0; s < options.size(); ++s) {
    Session learning;
    learning.Image = options[s];
    ASSERT_EQ(LearnReferences(learning, dir.Path()).size(), text.size());
    ReferenceSet& set = library.Sets.emplace_back();
    set.Bank = learning.Bank;
    set.Settings.AutoCrop = options[s].Crop;
    set.Settings.Tally = static_cast<int>(tallies[s] * 100);
  }
  SetRun run = MakeSetRun(library, ImageOptions{}, 0.75, {}, {}, false, {});
  std::vector<std::string> failed;
  const SetRunMatch match = MatchPictureFile(run, dir.File("test.bmp"), failed);
  EXPECT_TRUE(failed.empty());
  for (std::size_t s = 0; s < options.size(); ++s) {
    Session alone;
    alone.Bank = library.Sets[s].Bank;
    alone.Image = options[s];
    alone.Tally = tallies[s];
    const LoadedPicture picture = LoadPictureFile(dir.File("test.bmp"), alone.Image);
    Recognize(alone, picture.Pattern);
    // The run's first picture sees its references as the lone run's first image does.
    const ScoreTable scores =
        ScoreSet(run.Library.Sets[s], PrepareTest(picture.Pattern), tallies[s], {}, 0);
    for (int k = 1; k <= kReferenceCount; ++k) {
      const TScoreEntry& a = scores[k];
      const TScoreEntry& b = alone.Scores.ScoreTable[k];
      EXPECT_TRUE(a.H == b.H && a.V == b.V) << "set " << s << " reference " << k;
    }
  }
  // The cropped set reads the picture right; both sets' answers are ranked together.
  EXPECT_EQ(match.Best[0].Set, 0);
  EXPECT_EQ(match.Best[0].No, 8);
  EXPECT_FALSE(match.Shown.Blank);
}

TEST(SetRun, UnreadablePictureIsBlankAndNamed) {
  test::TempDir dir;
  test::WriteFile(dir.File("bad.bmp"), "not a picture");
  ReferenceLibrary library{{ReferenceSet{}, ReferenceSet{}}};
  library.Sets[1].Settings.AutoCrop = true;
  SetRun run = MakeSetRun(library, ImageOptions{}, 0.75, {}, {}, false, {});
  std::vector<std::string> failed;
  const SetRunMatch match = MatchPictureFile(run, dir.File("bad.bmp"), failed);
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_NE(failed[0].find(dir.File("bad.bmp")), std::string::npos) << failed[0];
  EXPECT_EQ(match.Best[0].No, 0);
  EXPECT_EQ(match.Best[0].Set, -1);
  EXPECT_TRUE(match.Shown.Blank);
}

}  // namespace
}  // namespace morvik
