// Tests of reading whole pictures: sets learned from a rendered picture of a typeface read
// other pictures of it exactly, in both polarities and with noise; rejection; grid cells;
// learning refuses a count that does not match; the area-resampled cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/ordered_jobs.h"
#include "error_of.h"
#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "image/picture_reader.h"
#include "learning/cut_folder.h"
#include "learning/learn_picture.h"
#include "reading/character_detail.h"
#include "reading/read_picture.h"
#include "segment/cut.h"
#include "segment/deskew.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::ErrorOf;
using test::FontInstalled;

const std::string kAll = "0-9A-Z";
const std::vector<std::string> kLearnLines = {"0 1 2 3 4 5 6 7 8 9", "A B C D E F G H I J K L M",
                                              "N O P Q R S T U V W X Y Z"};

Bitmap Render(const std::string& font, const std::vector<std::string>& lines, int cap,
              bool lightOnDark = false) {
  const FontFace face(font);
  RenderOptions o;
  o.LightOnDark = lightOnDark;
  o.Margin = cap / 2 + 4;
  return RenderText(face, lines, cap, o);
}

void AddSaltAndPepper(Bitmap& b, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const double r = u(rng);
      if (r < 0.005)
        b.SetPixel(x, y, kBlack);
      else if (r < 0.01)
        b.SetPixel(x, y, kWhite);
    }
}

// The settings the accuracy bench learns with: fixed threshold and increment, square raster.
SetSettings BenchSettings() {
  SetSettings s;
  s.Autodetect = false;
  s.Threshold = 20;
  s.Increment = 20;
  s.AspectRatioEnable = true;
  s.AspectRatio = 100;
  return s;
}

ReferenceLibrary LearnedLibrary(const std::string& font, const SetSettings& overrides = {}) {
  LearnOptions o;
  o.Overrides = overrides;
  ReferenceLibrary library;
  LearnedSet learned = LearnFromPicture(Render(font, kLearnLines, 40), kAll, o);
  ReferenceSet set;
  set.Base = "learned";
  set.Bank = learned.Bank;
  set.Chars = learned.Chars;
  set.Settings = learned.Settings;
  PrepareReferenceSet(set);
  library.Sets.push_back(set);
  return library;
}

std::vector<std::string> Read(const Bitmap& picture, ReferenceLibrary& library,
                              const ReadOptions& options = {}) {
  return ReadingText(ReadPicture(picture, library, options));
}

struct TextCase {
  const std::string* Font;
  int Cap;
  bool LightOnDark, Noise;
  std::vector<std::string> Lines;
};

TEST(ReadPictureTest, ReadsRenderedTextOfTheLearnedTypefaceExactly) {
  const TextCase cases[] = {
      {&test::kDejaVuSans, 40, false, false, {"2049 7731 58", "HELLO WORLD"}},
      {&test::kDejaVuSans, 40, true, false, {"QUICK 5 FOX", "JUMPS 80"}},
      {&test::kDejaVuSans, 40, false, true, {"BROWN 1962", "ZEBRA"}},
      {&test::kLiberationSans, 40, true, true, {"PACK MY BOX", "314 159"}},
      {&test::kDejaVuSansMono, 36, false, false, {"WAVY 4096", "EXIT 21"}},
      {&test::kLiberationSans, 32, false, false, {"JOLT 90", "GRID 7"}},
  };
  for (const TextCase& c : cases) {
    if (!FontInstalled(*c.Font)) GTEST_SKIP() << *c.Font << " not installed";
    ReferenceLibrary library = LearnedLibrary(*c.Font, BenchSettings());
    Bitmap picture = Render(*c.Font, c.Lines, c.Cap, c.LightOnDark);
    if (c.Noise) AddSaltAndPepper(picture, 7);
    EXPECT_EQ(Read(picture, library), c.Lines)
        << *c.Font << " cap " << c.Cap << (c.LightOnDark ? " light on dark" : " dark on light")
        << (c.Noise ? " with noise" : "");
  }
}

// A page turned by a degree or two reads as the upright one, its boxes given back inside the
// picture as it was handed over.
TEST(ReadPictureTest, TurnedPageReadsAsTheUprightOne) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  const std::vector<std::string> lines = {"THE QUICK BROWN FOX 1962", "JUMPS OVER THE LAZY DOG",
                                          "PACK MY BOX WITH 5 JUGS", "OF LIQUOR 2049 7731"};
  const GreyImage upright = ReadingGrey(Render(test::kDejaVuSans, lines, 24));
  ASSERT_EQ(ReadingText(ReadPicture(upright, library, {})), lines);
  for (long double degrees : {-2.0L, 1.5L}) {
    const GreyImage turned = Rotate(upright, degrees, 255);
    const PictureReading r = ReadPicture(turned, library, {});
    // Turned twice, O and 0, alike in this face, may trade places; nothing else may change.
    const auto zeroAsO = [](std::vector<std::string> text) {
      for (std::string& l : text) std::replace(l.begin(), l.end(), '0', 'O');
      return text;
    };
    EXPECT_EQ(zeroAsO(ReadingText(r)), zeroAsO(lines)) << degrees;
    for (const ReadCharacter& c : r.Chars) {
      EXPECT_GE(c.Box.Left, 0);
      EXPECT_GE(c.Box.Top, 0);
      EXPECT_LE(c.Box.Left + c.Box.Width, turned.Width);
      EXPECT_LE(c.Box.Top + c.Box.Height, turned.Height);
    }
  }
}

// Small print is read from the picture resampled x2; the boxes are given back in the
// picture's own pixels, where each holds ink and covers half the box --cut samples from the
// resampled picture (ReadBoxes).
TEST(ReadPictureTest, SmallPrintBoxesReferToThePictureGiven) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  const GreyImage given = ReadingGrey(Render(test::kDejaVuSans, kLearnLines, 8));
  const PictureReading r = ReadPicture(given, library, {});
  ASSERT_EQ(r.ReadScale, 2);
  ASSERT_EQ(r.ReadBoxes.size(), r.Chars.size());
  ASSERT_GE(r.Chars.size(), 30u);
  const GreyImage larger = ReadFromGrey(given, r);
  ASSERT_EQ(larger.Width, 2 * given.Width);
  ASSERT_EQ(larger.Height, 2 * given.Height);
  for (std::size_t k = 0; k < r.Chars.size(); ++k) {
    const CharBox &b = r.Chars[k].Box, &read = r.ReadBoxes[k];
    ASSERT_LE(b.Left + b.Width, given.Width);
    ASSERT_LE(b.Top + b.Height, given.Height);
    EXPECT_NEAR(b.Left, read.Left / 2, 1) << k;
    EXPECT_NEAR(b.Top, read.Top / 2, 1) << k;
    EXPECT_NEAR(b.Left + b.Width, (read.Left + read.Width) / 2, 1) << k;
    EXPECT_NEAR(b.Top + b.Height, (read.Top + read.Height) / 2, 1) << k;
    int darkest = 255;
    for (int y = b.Top; y < b.Top + b.Height; ++y)
      for (int x = b.Left; x < b.Left + b.Width; ++x)
        darkest = std::min<int>(darkest, given.At(x, y));
    EXPECT_LT(darkest, 128) << k;
  }
}

// --cut writes the characters as the reading read them: those of a light-on-dark bar in a
// light page turned round as the reading turns them, like those of the same text printed
// dark on light (bright strokes on black), not as negatives.
TEST(ReadPictureTest, CutWritesTheCharactersAsRead) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  const auto onPage = [](const Bitmap& text) {
    Bitmap page(text.Width() + 60, text.Height() + 60);
    page.Fill(kWhite);
    for (int y = 0; y < text.Height(); ++y)
      for (int x = 0; x < text.Width(); ++x) page.SetPixel(x + 30, y + 30, text.Pixel(x, y));
    return page;
  };
  test::TempDir dir;
  for (const bool bar : {false, true}) {
    const Bitmap page = onPage(Render(test::kDejaVuSans, {"QUIZ 1945"}, 24, bar));
    WriteCutFolder(page, ReadPicture(page, library, {}), dir.File(bar ? "bar" : "plain"));
  }
  const std::vector<std::string> names = test::FolderEntries(dir.File("plain"));
  ASSERT_EQ(test::FolderEntries(dir.File("bar")), names);
  for (const std::string& name : names) {
    if (name[0] == '.') continue;
    const Bitmap plain = ReadPictureFile(dir.File("plain/" + name));
    const Bitmap bar = ReadPictureFile(dir.File("bar/" + name));
    ASSERT_EQ(bar.Width(), plain.Width()) << name;
    ASSERT_EQ(bar.Height(), plain.Height()) << name;
    long difference = 0;
    for (int y = 0; y < bar.Height(); ++y)
      for (int x = 0; x < bar.Width(); ++x)
        difference += std::abs(GreenOf(bar.Pixel(x, y)) - GreenOf(plain.Pixel(x, y)));
    EXPECT_LT(difference, 32L * bar.Width() * bar.Height()) << name;  // a negative: ~200
  }
}

// One library read from several threads at once (a set with detail, one without) gives each
// picture what one thread gives it.
TEST(ReadPictureTest, ThreadsShareOneLibrary) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  LearnedSet learned = LearnFromPicture(Render(test::kDejaVuSans, kLearnLines, 40), kAll, {});
  ReferenceSet& detailed = library.Sets.emplace_back();
  detailed.Bank = learned.Bank;
  detailed.Chars = learned.Chars;
  detailed.Detail = learned.Detail;
  PrepareReferenceSet(detailed);
  std::vector<Bitmap> pictures;
  for (int cap : {18, 25, 33, 41, 52, 60})
    pictures.push_back(Render(test::kDejaVuSans,
                              {"QUIZ 1945", "BYTE " + std::to_string(cap), "JOLT 37"}, cap,
                              cap % 2 == 0));
  std::vector<PictureReading> alone;
  for (const Bitmap& p : pictures) alone.push_back(ReadPicture(p, library, {}));
  // Every other picture has its lines read on threads of its own as well.
  ReadOptions lineThreads;
  lineThreads.Threads = 3;
  RunInOrder<PictureReading>(
      pictures.size(), 4,
      [&](std::size_t i) {
        return ReadPicture(pictures[i], library, i % 2 == 0 ? ReadOptions{} : lineThreads);
      },
      [&](std::size_t i, PictureReading& r) {
        EXPECT_EQ(ReadingText(r), ReadingText(alone[i])) << i;
        ASSERT_EQ(r.Chars.size(), alone[i].Chars.size()) << i;
        for (std::size_t c = 0; c < r.Chars.size(); ++c)
          for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_EQ(r.Chars[c].Best[p].Set, alone[i].Chars[c].Best[p].Set) << i << " " << c;
            EXPECT_EQ(r.Chars[c].Best[p].No, alone[i].Chars[c].Best[p].No) << i << " " << c;
            EXPECT_EQ(r.Chars[c].Best[p].Score, alone[i].Chars[c].Best[p].Score) << i << " " << c;
          }
      });
}

TEST(ReadPictureTest, CharactersCarryLinesColumnsBoxesAndRanks) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  const PictureReading r = ReadPicture(Render(test::kDejaVuSans, {"AB C", "7"}, 40), library, {});
  ASSERT_EQ(r.Chars.size(), 4u);
  const int lines[] = {1, 1, 1, 2}, columns[] = {0, 1, 3, 0};
  for (std::size_t k = 0; k < 4; ++k) {
    const ReadCharacter& c = r.Chars[k];
    EXPECT_EQ(c.Line, lines[k]) << k;
    EXPECT_EQ(c.Column, columns[k]) << k;
    EXPECT_FALSE(c.Blank || c.Rejected) << k;
    EXPECT_GE(c.Best[0].Score, c.Best[1].Score) << k;
    EXPECT_GE(c.Best[1].Score, c.Best[2].Score) << k;
    EXPECT_EQ(c.Best[0].Set, 0) << k;
  }
  EXPECT_TRUE(r.Chars[2].Box.SpaceBefore);
  EXPECT_LT(r.Chars[0].Box.Left + r.Chars[0].Box.Width, r.Chars[1].Box.Left + 1);
  EXPECT_GT(r.Chars[3].Box.Top, r.Chars[0].Box.Top + r.Chars[0].Box.Height);
  // The segmentation returned is the one read, for drawing the boxes.
  ASSERT_EQ(r.Cut.Lines.size(), 2u);
  EXPECT_EQ(r.Cut.Lines[0].Chars.size(), 3u);
}

TEST(ReadPictureTest, RejectionTurnsWeakCharactersIntoQuestionMarks) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  const Bitmap picture = Render(test::kDejaVuSans, {"42 AB"}, 40);
  const PictureReading plain = ReadPicture(picture, library, {});
  ASSERT_EQ(ReadingText(plain), std::vector<std::string>{"42 AB"});
  // A score below the rejection score rejects; a score equal to it does not.
  for (const ReadCharacter& pivot : plain.Chars) {
    ReadOptions o;
    o.Reject = pivot.Best[0].Score;
    const PictureReading r = ReadPicture(picture, library, o);
    std::string shown;
    for (std::size_t k = 0; k < r.Chars.size(); ++k) {
      const bool below = plain.Chars[k].Best[0].Score < o.Reject;
      EXPECT_EQ(r.Chars[k].Rejected, below) << k;
      shown += below ? '?' : ShownChar(plain.Chars[k]);
      EXPECT_EQ(ShownChar(r.Chars[k]), shown.back()) << k;
    }
    EXPECT_FALSE(r.Chars[&pivot - plain.Chars.data()].Rejected);
  }

  // A library whose set has no map reads every character as '?' without rejecting it.
  library.Sets[0].Chars = CharMapState{};
  const PictureReading unmapped = ReadPicture(picture, library, {});
  EXPECT_EQ(ReadingText(unmapped), std::vector<std::string>{"?? ??"});
  EXPECT_FALSE(unmapped.Chars[0].Rejected);
}

TEST(ReadPictureTest, CandidateFilterLimitsTheAnswers) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSans, BenchSettings());
  ReadOptions o;
  o.Character.Filter = ParseCharFilter("0-9");
  for (const ReadCharacter& c :
       ReadPicture(Render(test::kDejaVuSans, {"OB"}, 40), library, o).Chars)
    for (const LibraryMatch& m : c.Best) EXPECT_TRUE(m.Char >= '0' && m.Char <= '9') << m.Char;
}

TEST(ReadPictureTest, EmptyGridCellsReadAsBlanks) {
  if (!FontInstalled(test::kDejaVuSansMono)) GTEST_SKIP();
  ReferenceLibrary library = LearnedLibrary(test::kDejaVuSansMono, BenchSettings());
  // Monospaced: every character and the blank take one advance, the grid's cell. The cell
  // size is taken from the centres of the outer characters as the text cut finds them.
  const Bitmap picture = Render(test::kDejaVuSansMono, {"7 3", "4 5"}, 40);
  const Segmentation text = CutPicture(ToGreyImage(picture), {});
  ASSERT_EQ(text.Lines.size(), 2u);
  ASSERT_EQ(text.Lines[0].Chars.size(), 2u);
  const CharBox &a = text.Lines[0].Chars[0], &b = text.Lines[0].Chars[1];
  const int pitch = ((b.Left + b.Width / 2) - (a.Left + a.Width / 2)) / 2;
  const int rowHeight = text.Lines[1].Box.Top - text.Lines[0].Box.Top;
  ReadOptions o;
  o.Cut.Mode = Layout::Grid;
  o.Cut.Grid = GridLayout{a.Left + a.Width / 2 - pitch / 2,
                          text.Lines[0].Box.Top - rowHeight / 4,
                          pitch,
                          rowHeight,
                          3,
                          2};
  const PictureReading r = ReadPicture(picture, library, o);
  ASSERT_EQ(r.Chars.size(), 6u);
  EXPECT_TRUE(r.Chars[1].Blank);
  EXPECT_TRUE(r.Chars[4].Blank);
  EXPECT_EQ(ShownChar(r.Chars[1]), ' ');
  EXPECT_EQ(ReadingText(r), (std::vector<std::string>{"7 3", "4 5"}));
}

TEST(ReadPictureTest, PictureWithoutInkReadsAsNothing) {
  ReferenceLibrary library;
  library.Sets.emplace_back();
  Bitmap white(50, 30);
  white.Fill(kWhite);
  const PictureReading r = ReadPicture(white, library, {});
  EXPECT_TRUE(r.Chars.empty());
  EXPECT_TRUE(ReadingText(r).empty());
}

// Rows of dark blocks (8 x 14, 8 apart) on white: `count` characters in rows of 6.
Bitmap Blocks(int count, int width = 8) {
  Bitmap b(120, 30 * ((count + 5) / 6) + 20);
  b.Fill(kWhite);
  for (int k = 0; k < count; ++k)
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < width; ++x)
        b.SetPixel(10 + 16 * (k % 6) + x, 10 + 30 * (k / 6) + y, kBlack);
  return b;
}

// Past the character limit a picture is refused before any character is recognised, in
// every layout; at the limit it is read.
TEST(ReadPictureTest, RefusesMoreCharactersThanTheLimit) {
  ReferenceLibrary library;
  library.Sets.emplace_back();
  PrepareReferenceSet(library.Sets.back());
  const Bitmap twelve = Blocks(12);
  ReadOptions grid;
  grid.Cut.Mode = Layout::Grid;
  grid.Cut.Grid = GridLayout{6, 6, 16, 30, 6, 2};
  ReadOptions table;
  table.Cut.Mode = Layout::Table;
  for (ReadOptions o : {ReadOptions{}, grid, table}) {
    SCOPED_TRACE(static_cast<int>(o.Cut.Mode));
    o.Cut.MaxCharacters = 12;
    EXPECT_EQ(ReadPicture(twelve, library, o).Chars.size(), 12u);
    o.Cut.MaxCharacters = 11;
    try {
      ReadPicture(twelve, library, o);
      ADD_FAILURE() << "read past the limit";
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kTooLarge);
    }
  }
}

// Random noise and a picture of dots are no text: nothing is read, not even a rejection.
TEST(ReadPictureTest, NoiseAndDotsReadAsNothing) {
  ReferenceLibrary library;
  library.Sets.emplace_back();
  PrepareReferenceSet(library.Sets.back());
  Bitmap noise(600, 600);
  std::mt19937 rng(7);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 600; ++x) {
      const int g = static_cast<int>(rng() % 256);
      noise.SetPixel(x, y, MakeColour(g, g, g));
    }
  Bitmap dots(400, 400);
  dots.Fill(kWhite);
  for (int y = 0; y < 400; y += 4)
    for (int x = 0; x < 400; x += 4) {
      dots.SetPixel(x, y, kBlack), dots.SetPixel(x + 1, y, kBlack);
      dots.SetPixel(x, y + 1, kBlack), dots.SetPixel(x + 1, y + 1, kBlack);
    }
  for (const Bitmap* picture : {&noise, &dots}) {
    const PictureReading r = ReadPicture(*picture, library, {});
    EXPECT_TRUE(r.Chars.empty()) << r.Chars.size();
    EXPECT_TRUE(ReadingText(r).empty());
  }
}

// A picture of far more marks than the names could take is refused on a cut of a few more
// than they could (four pieces a name), not cut whole.
TEST(LearnPictureTest, RefusesAPictureOfManyMarksEarly) {
  const Bitmap bars = Blocks(600, 2);
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(bars, "AB", {}, "bars.png"); }),
            "bars.png: the picture holds more than 8 characters, but 2 are named");
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(bars, "0-9A-Z0-9", {}, "bars.png"); }),
            "bars.png: the picture holds more than 164 characters, but 46 are named");
}

TEST(LearnPictureTest, NamesTheReferencesInReadingOrderWithTheReadingSettings) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  LearnOptions o;
  o.Overrides.Threshold = 30;
  o.Overrides.AutoCrop = false;
  const LearnedSet set = LearnFromPicture(Render(test::kDejaVuSans, {"1 2", "X"}, 40), "1 2X", o);
  EXPECT_EQ(set.Count, 3);
  EXPECT_TRUE(set.Chars.CharMapLoaded);
  EXPECT_EQ(std::string(set.Chars.CharMap.data() + 1, 3), "12X");
  EXPECT_EQ(set.Chars.CharMap[0], ' ');
  EXPECT_EQ(set.Chars.CharMap[4], 0);
  // Every setting stored, the overrides over the reading defaults; cuts are never black.
  EXPECT_EQ(set.Settings, LearningSettings(o.Overrides));
  EXPECT_EQ(set.Settings.Threshold, 30);
  EXPECT_EQ(set.Settings.AutoCrop, false);
  EXPECT_EQ(set.Settings.Black, false);
  EXPECT_TRUE(set.Settings.Tally.has_value());
  for (int n = 1; n <= 3; ++n) EXPECT_GT(set.Bank.Slot(n).MaxLevel, 0) << n;
  EXPECT_EQ(set.Bank.Slot(4).MaxLevel, 0);
  EXPECT_EQ(set.Bank.TestPattern().Cells, set.Bank.Slot(3).Cells);
}

// Each reference keeps the detail of the cut it was sampled from, with its height against its
// own line's capitals: the small letters stand lower than the capitals and digits of theirs.
TEST(LearnPictureTest, KeepsTheDetailOfEachReference) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const Bitmap picture = Render(test::kDejaVuSans, {"1 X", "o H"}, 40);
  const LearnedSet set = LearnFromPicture(picture, "1Xo H", {});
  EXPECT_TRUE(set.Detail.Loaded);
  const GreyImage grey = ReadingGrey(picture);
  const Segmentation cut = CutPicture(grey, {});
  std::size_t n = 0;
  for (const TextLine& line : cut.Lines)
    for (const CharBox& box : line.Chars) {
      const CharacterDetail& d = set.Detail.Ref(++n);
      const CharacterDetail want = DetailOf(RecognitionCut(grey, box, cut.DarkOnLight), d.Height);
      EXPECT_TRUE(d.Valid) << n;
      EXPECT_EQ(d.Grid, want.Grid) << n;
    }
  EXPECT_EQ(n, 4u);
  EXPECT_NEAR(set.Detail.Ref(1).Height, 1000, 30);
  EXPECT_NEAR(set.Detail.Ref(2).Height, 1000, 30);
  EXPECT_LT(set.Detail.Ref(3).Height, 850);
  EXPECT_NEAR(set.Detail.Ref(4).Height, 1000, 30);
  EXPECT_FALSE(set.Detail.Ref(5).Valid);
}

TEST(LearnPictureTest, RefusesCountsThatDoNotMatch) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const Bitmap three = Render(test::kDejaVuSans, {"1 2 3"}, 30);
  struct {
    const char* Chars;
    std::string Expected;
  } cases[] = {
      {"12", "pic.png: the picture holds 3 characters, but 2 are named"},
      {"1 2 3 4", "pic.png: the picture holds 3 characters, but 4 are named"},
      {"0-9", "pic.png: the picture holds 3 characters, but 10 are named"},
      {"   ", "pic.png: the picture holds 3 characters, but 0 are named"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf([&] { LearnFromPicture(three, c.Chars, {}, "pic.png"); }), c.Expected)
        << c.Chars;
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(three, "1-3", {}, "pic.png"); }), "");

  Bitmap white(40, 40);
  white.Fill(kWhite);
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(white, "A", {}, "w.png"); }),
            "w.png: no characters found to learn from");
  const Bitmap many = Render(
      test::kDejaVuSans,
      {"0 1 2 3 4 5 6 7 8 9 A B C D E F G H I J", "K L M N O P Q R S T U V W X Y Z 0 1 2 3 4"}, 20);
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(many, "0-9A-Z01234", {}, "m.png"); }),
            "m.png: the picture holds 41 characters; a set holds at most 40");
}

// Serif capitals at this size: the segmenter cuts the M in two (stems on both sides), and
// learning joins the halves again since the named count says one character.
TEST(LearnPictureTest, CountsCharactersAfterJoiningHalves) {
  const std::string font = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf";
  if (!FontInstalled(font)) GTEST_SKIP();
  const Bitmap picture = Render(font, {"K L M"}, 40);
  // Whether the segmenter splits this M or not, learning names three characters.
  ASSERT_GE(CutPicture(ToGreyImage(picture), {}).Lines.at(0).Chars.size(), 3u);
  const LearnedSet set = LearnFromPicture(picture, "KLM", {});
  EXPECT_EQ(set.Count, 3);
  // Pieces are joined only to meet the count, and only touching ones.
  EXPECT_EQ(ErrorOf([&] { LearnFromPicture(picture, "KL", {}, "p"); }),
            "p: the picture holds 3 characters, but 2 are named");
}

TEST(CutScaledTest, ResamplesTheBoxByAreaToTheLongerSide) {
  GreyImage g;
  g.Width = 4;
  g.Height = 2;
  g.Pixels = {0, 100, 200, 40, 255, 255, 0, 0};
  const CharBox box{0, 0, 4, 2, false, false};
  // Halving: each target pixel is the mean of a 2 x 2 block, rounded.
  Bitmap half = CutCharacterScaled(g, box, false, 2);
  ASSERT_EQ(half.Width(), 2 + 2 * kCutMargin);
  ASSERT_EQ(half.Height(), 1 + 2 * kCutMargin);
  EXPECT_EQ(RedOf(half.Pixel(kCutMargin, kCutMargin)), (0 + 100 + 255 + 255 + 2) / 4);
  EXPECT_EQ(RedOf(half.Pixel(kCutMargin + 1, kCutMargin)), (200 + 40 + 0 + 0 + 2) / 4);
  EXPECT_EQ(half.Pixel(0, 0), kBlack);
  // Doubling repeats each pixel; dark on light inverts.
  Bitmap twice = CutCharacterScaled(g, box, true, 8);
  ASSERT_EQ(twice.Width(), 8 + 2 * kCutMargin);
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(RedOf(twice.Pixel(kCutMargin + x, kCutMargin + 1)), 255 - g.Pixels[x / 2]) << x;
  // Thirds: a target pixel takes a third of one source pixel and the rest of its neighbour.
  Bitmap thirds = CutCharacterScaled(g, CharBox{0, 0, 4, 1, false, false}, false, 3);
  ASSERT_EQ(thirds.Width(), 3 + 2 * kCutMargin);
  EXPECT_EQ(RedOf(thirds.Pixel(kCutMargin, kCutMargin)), (3 * 0 + 1 * 100 + 2) / 4);
  EXPECT_EQ(RedOf(thirds.Pixel(kCutMargin + 1, kCutMargin)), (2 * 100 + 2 * 200 + 2) / 4);
  // An empty or clipped-away box gives the margins alone.
  EXPECT_EQ(CutCharacterScaled(g, CharBox{9, 9, 3, 3, false, false}, false, 64).Width(),
            2 * kCutMargin);
}

}  // namespace
}  // namespace morvik
