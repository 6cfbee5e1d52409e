// Scoring against several sets: every set's H, V and Mean equal, bit for bit, those of the
// single-set recognition a run makes (random, irregular and real patterns, over many images
// in a row), the merged ranking with its ties, and the candidate filter.
#include "library/library_scoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/normalize.h"
#include "core/set_files.h"
#include "form/image_state.h"
#include "golden/glyphs.h"
#include "library/set_char_map.h"
#include "runs/set_run.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// ---------------------------------------------------------------------------------------------
// Patterns

// Strokes of random length and direction, with shadows of any level: a glyph-like pattern
// anywhere on the grid, not normalised.
TPattern Strokes(std::mt19937& rng, bool irregular) {
  std::uniform_int_distribution<int> pos(1, 16), len(2, 12), dir(0, 3), strokes(1, 4);
  std::uniform_int_distribution<int> level(0, 5), any(0, 255);
  TPattern p;
  for (int s = strokes(rng); s > 0; --s) {
    int r = pos(rng), c = pos(rng);
    const int d = dir(rng);
    for (int n = len(rng); n > 0 && r >= 1 && r <= 16 && c >= 1 && c <= 16; --n) {
      p.At(r, c) = {1, LevelValues[static_cast<std::size_t>(std::max(1, level(rng)))]};
      if (c < 16) p.At(r, c + 1) = {1, LevelValues[static_cast<std::size_t>(level(rng))]};
      r += d == 1 || d == 3;
      c += d == 0 || d == 3;
    }
  }
  if (irregular) {
    // What only a foreign file holds: large marks, levels off the scale or without a mark.
    for (int n = 0; n < 6; ++n)
      p.At(pos(rng), pos(rng)) = {static_cast<std::uint8_t>(any(rng) % 3),
                                  static_cast<std::uint8_t>(any(rng))};
  }
  p.MaxLevel = ComputeMaxLevel(p);
  return p;
}

// A reference with a few cells changed: close enough to the original to score well.
TPattern Variant(std::mt19937& rng, TPattern p) {
  std::uniform_int_distribution<int> pos(1, 16), level(0, 5);
  for (int n = 0; n < 4; ++n) {
    const std::uint8_t l = LevelValues[static_cast<std::size_t>(level(rng))];
    p.At(pos(rng), pos(rng)) = {static_cast<std::uint8_t>(l != 0), l};
  }
  p.MaxLevel = ComputeMaxLevel(p);
  return p;
}

// A set as a file gives it: 40 references, some empty, some with stale stored values.
TPatternBank RandomBank(std::mt19937& rng) {
  TPatternBank bank;
  std::uniform_int_distribution<int> kind(0, 9), count(0, 20);
  for (int k = 1; k <= kReferenceCount; ++k) {
    const int what = kind(rng);
    if (what == 0) continue;  // an empty slot
    TPattern& p = bank.Slot(k);
    p = Strokes(rng, what == 1);
    if (what == 2) p.MaxLevel = 0;  // a stale MaxLevel: normalised only from the second image
    if (what == 3) p.RowCount = static_cast<std::uint16_t>(count(rng));
  }
  return bank;
}

// ---------------------------------------------------------------------------------------------
// The single-set recognition of a run, image after image on one bank

struct SingleSetRun {
  TPatternBank Bank;
  ScoreState Scores;

  void Recognize(const TPattern& test, double tally) {
    Bank.TestPattern() = test;
    NormalizeBank(Bank);
    RecognizeTestPattern(Bank, tally, Scores);
  }
};

// Mean of reference k after the run's recognition: the run has marked its best three with
// Mean -1, whose means are their TopThree scores.
double SingleMean(const SingleSetRun& run, int k) {
  for (const TRankEntry& rank : run.Scores.TopThree)
    if (rank.No == k && run.Scores.ScoreTable[k].Mean == -1.0) return rank.Score;
  return run.Scores.ScoreTable[k].Mean;
}

// Every candidate of the set equals the single-set run's entry; the others are not scored.
void ExpectSameScores(const SingleSetRun& run, const ScoreTable& scores, const ReferenceSet& set,
                      const CharFilter& filter, const std::string& what) {
  for (int k = 1; k <= kReferenceCount; ++k) {
    const TScoreEntry& a = run.Scores.ScoreTable[k];
    const TScoreEntry& b = scores[k];
    const bool candidate = IsCandidate(filter, set.Chars, k);
    ASSERT_EQ(Bits(b.H), Bits(candidate ? a.H : NoScore)) << what << " reference " << k;
    ASSERT_EQ(Bits(b.V), Bits(candidate ? a.V : NoScore)) << what << " reference " << k;
    ASSERT_EQ(Bits(b.Mean), Bits(candidate ? SingleMean(run, k) : 0.0))
        << what << " reference " << k;
  }
}

// The best three by sorting every candidate of every run.
std::vector<LibraryMatch> SortedCandidates(const std::vector<SingleSetRun>& runs,
                                           const ReferenceLibrary& library,
                                           const CharFilter& filter) {
  std::vector<LibraryMatch> all;
  for (std::size_t s = 0; s < runs.size(); ++s)
    for (int k = 1; k <= kReferenceCount; ++k)
      if (SingleMean(runs[s], k) > 0 && IsCandidate(filter, library.Sets[s].Chars, k))
        all.push_back({static_cast<int>(s), k, SingleMean(runs[s], k), 0});
  std::stable_sort(all.begin(), all.end(),
                   [](const LibraryMatch& x, const LibraryMatch& y) { return x.Score > y.Score; });
  all.resize(3);
  return all;
}

ReferenceLibrary LibraryOf(const std::vector<TPatternBank>& banks) {
  ReferenceLibrary library;
  for (const TPatternBank& bank : banks) {
    library.Sets.emplace_back();
    library.Sets.back().Bank = bank;
    PrepareReferenceSet(library.Sets.back());
  }
  return library;
}

TEST(LibraryScoring, EverySetScoresAsItWouldAlone) {
  std::mt19937 rng(20261208);
  std::vector<TPatternBank> banks;
  for (int s = 0; s < 4; ++s) banks.push_back(RandomBank(rng));
  ReferenceLibrary library = LibraryOf(banks);
  std::vector<SingleSetRun> runs(banks.size());
  for (std::size_t s = 0; s < banks.size(); ++s) runs[s].Bank = banks[s];
  // Maps for all but the last set: digits, letters and a few unmapped references.
  std::uniform_int_distribution<int> mapChar(0, 40);
  for (std::size_t s = 0; s + 1 < banks.size(); ++s) {
    library.Sets[s].Chars.CharMapLoaded = true;
    for (int k = 1; k <= kReferenceCount; ++k) {
      const int c = mapChar(rng);
      library.Sets[s].Chars.CharMap[k] = c < 10 ? '0' + c : c < 36 ? 'A' + c - 10 : 0;
    }
  }
  const CharFilter filters[] = {CharFilter{}, ParseCharFilter("0-9"), ParseCharFilter("A-F5")};

  std::uniform_int_distribution<int> pickSet(0, 3), pickSlot(1, kReferenceCount), kind(0, 3);
  const double tallies[] = {0.5, 0.75, 0.9, 0.75};
  for (int image = 0; image < 300; ++image) {
    // Tests close to a reference (so that many lines match), fresh strokes, irregular ones
    // and now and then an empty picture.
    TPattern test;
    switch (kind(rng)) {
      case 0:
        test = Variant(rng, banks[static_cast<std::size_t>(pickSet(rng))].Slot(pickSlot(rng)));
        break;
      case 1:
        test = Strokes(rng, false);
        break;
      case 2:
        test = Strokes(rng, true);
        break;
      default:
        if (image % 7 != 0) test = Variant(rng, banks[0].Slot(pickSlot(rng)));
    }
    const double tally = tallies[image % 4];
    const std::string what = "image " + std::to_string(image);
    const CharFilter& filter = filters[image % 3];
    const std::size_t earlier = static_cast<std::size_t>(image);
    const std::array<LibraryMatch, 3> merged =
        RecognizeWithLibrary(library, test, tally, filter, earlier);
    for (std::size_t s = 0; s < banks.size(); ++s) {
      runs[s].Recognize(test, tally);
      ExpectSameScores(runs[s],
                       ScoreSet(library.Sets[s], PrepareTest(test), tally, filter, earlier),
                       library.Sets[s], filter, what + " set " + std::to_string(s));
    }
    const std::vector<LibraryMatch> want = SortedCandidates(runs, library, filter);
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(merged[r].Set, want[r].Set) << what << " place " << r + 1;
      EXPECT_EQ(merged[r].No, want[r].No) << what << " place " << r + 1;
      EXPECT_EQ(Bits(merged[r].Score), Bits(want[r].Score)) << what << " place " << r + 1;
    }
  }
}

// Sets narrowed down by their detail keep no profiles: their candidates' profiles, kept between
// scorings, must follow the cells they were made from. References replaced in place (the
// addresses a freed set leaves to the next are the same case) score as in a set that keeps
// its profiles.
TEST(LibraryScoring, CandidatesScoreAsStoredProfilesAfterTheirReferencesChange) {
  std::mt19937 rng(1409);
  ReferenceSet withDetail, whole;
  withDetail.Detail.Loaded = true;
  for (int change = 0; change < 3; ++change) {
    whole.Bank = RandomBank(rng);
    // In place: the same addresses with other cells, as the next set may get a freed set's.
    for (int k = 1; k <= kReferenceCount; ++k) withDetail.Bank.Slot(k) = whole.Bank.Slot(k);
    PrepareReferenceSet(withDetail);
    PrepareReferenceSet(whole);
    ASSERT_TRUE(withDetail.Prepared.Rows.empty());
    for (int n = 0; n < 10; ++n) {
      const PreparedTest test =
          PrepareTest(n % 3 ? Strokes(rng, n % 2 == 0) : Variant(rng, whole.Bank.Slot(1 + n)));
      for (int k = 1; k <= kReferenceCount; ++k) {
        const TScoreEntry a = ScoreReference(withDetail, test, 0.75, k),
                          b = ScoreReference(whole, test, 0.75, k);
        ASSERT_EQ(Bits(a.H), Bits(b.H)) << "change " << change << " reference " << k;
        ASSERT_EQ(Bits(a.V), Bits(b.V)) << "change " << change << " reference " << k;
        EXPECT_LE(a.Mean, MeanBound(withDetail, test, k)) << "reference " << k;
        EXPECT_LE(b.Mean, MeanBound(whole, test, k)) << "reference " << k;
        // The rows first, then the columns: the same mean, and the rows' bound above it.
        const ReferenceLines lines = SettledLines(withDetail, test, k);
        if (lines.Rows == nullptr) {
          EXPECT_EQ(a.Mean, 0) << "reference " << k;
          continue;
        }
        const double h = MatchSequences(test.Rows, *lines.Rows, 0.75);
        const double v = MatchSequences(test.Columns, *lines.Columns, 0.75);
        EXPECT_EQ(Bits(MeanOf(h, v)), Bits(a.Mean)) << "reference " << k;
        EXPECT_LE(a.Mean, MeanOf(h, MatchSequencesBound(test.Columns.Count, lines.Columns->Count)))
            << "reference " << k;
      }
    }
  }
}

// Sets read from files and pictures sampled from bitmaps, with the image settings varied.
TEST(LibraryScoring, RealPicturesScoreAsWithTheirSetAlone) {
  const std::string examples = std::string(MORVIK_SOURCE_DIR) + "/examples";
  std::vector<std::string> pictures;
  for (const auto& entry : fs::directory_iterator(examples + "/patterns"))
    if (entry.path().extension() == ".bmp") pictures.push_back(entry.path().string());
  std::sort(pictures.begin(), pictures.end());
  ASSERT_GE(pictures.size(), 20u);

  // Set 0 learned from the example bitmaps as they are, set 1 with crop and black characters,
  // set 2 from the other picture folder: three sets of the same glyphs that differ.
  test::TempDir dir;
  std::vector<TPatternBank> banks(3);
  std::vector<ImageState> images(3);
  images[1].Settings.CheckBoxCrop = true;
  images[1].Settings.RadioGroupCol = 1;
  images[2].Settings.CheckBoxRatio = false;
  for (int s = 0; s < 3; ++s) {
    for (int k = 1; k <= 10; ++k) {
      const std::string file = s == 2 ? pictures[static_cast<std::size_t>(k + 5)]
                                      : examples + "/learn/" + std::to_string(k) + ".bmp";
      LoadTestPicFile(file, images[static_cast<std::size_t>(s)], banks[s].Slot(k));
    }
    ASSERT_TRUE(SaveReferenceFile(dir.File("set" + std::to_string(s) + ".PCP"), banks[s]));
  }
  ReferenceLibrary library =
      OpenReferenceNames({dir.File("set0"), dir.File("set1"), dir.File("set2")});
  std::vector<SingleSetRun> runs(3);
  for (int s = 0; s < 3; ++s)
    ASSERT_TRUE(LoadReferenceFile(dir.File("set" + std::to_string(s) + ".PCP"), runs[s].Bank));

  const double tallies[] = {0.75, 0.75, 0.8};
  std::size_t earlier = 0;
  for (const std::string& picture : pictures) {
    // Each set gets the picture sampled with its own settings, and a tally of its own.
    std::vector<TPattern> tests(3);
    for (int s = 0; s < 3; ++s) {
      LoadTestPicFile(picture, images[static_cast<std::size_t>(s)], tests[s]);
      runs[s].Recognize(tests[s], tallies[s]);
      const ScoreTable scores =
          ScoreSet(library.Sets[s], PrepareTest(tests[s]), tallies[s], {}, earlier);
      ExpectSameScores(runs[s], scores, library.Sets[s], {}, picture + " set " + std::to_string(s));
    }
    ++earlier;
  }
}

// A set learned from dark digits with crop stores those settings; a run that applies them
// reads pictures of another size, one without them (or overriding them) does not.
TEST(LibraryScoring, StoredSettingsApplyUnlessOverridden) {
  test::TempDir dir;
  const std::string digits = "0123456789";
  ImageState learning;
  learning.Settings.RadioGroupCol = 1;
  learning.Settings.CheckBoxCrop = true;
  TPatternBank bank;
  CharMapState chars;
  chars.CharMapLoaded = true;
  for (int k = 1; k <= 10; ++k) {
    test::WriteGlyph(dir.File("learn.bmp"), digits[k - 1], 64, 64, 8, true);
    LoadTestPicFile(dir.File("learn.bmp"), learning, bank.Slot(k));
    chars.CharMap[k] = digits[k - 1];
  }
  ASSERT_TRUE(SaveReferenceFile(dir.File("dark.PCP"), bank));
  SaveSetCharMap(dir.File("dark"), chars);
  SaveSetSettings(dir.File("dark"),
                  CaptureSetSettings(OptionsOf(learning.Settings), TallyFraction(75)));
  ReferenceLibrary library = OpenReferenceNames({dir.File("dark")});

  // Correct readings of small dark digits placed in wide pictures.
  const auto read = [&](const SetSettings& options) {
    const ImageOptions image =
        SetRunSettingsOf(ImageOptions{}, 0.75, library.Sets[0].Settings, options).Image;
    int correct = 0;
    for (char c : digits) {
      test::WriteGlyph(dir.File("test.bmp"), c, 90, 50, 24, true);
      const TPattern test = LoadPictureFile(dir.File("test.bmp"), image).Pattern;
      correct += RecognizeWithLibrary(library, test, 0.75)[0].Char == c;
    }
    return correct;
  };
  SetSettings white;
  white.Black = false;
  SetSettings noCrop;
  noCrop.AutoCrop = false;
  EXPECT_EQ(read({}), 10);
  EXPECT_LE(read(white), 3);
  EXPECT_LE(read(noCrop), 3);
}

// ---------------------------------------------------------------------------------------------
// The merged ranking

// Column 1 of rows from..to: the test's twin scores 1, one row longer 0.9375.
TPattern Column(int from, int to) {
  TPattern p;
  for (int r = from; r <= to; ++r) p.At(r, 1) = {1, 100};
  p.MaxLevel = 100;
  return p;
}

struct RankCase {
  std::string name;
  std::vector<std::vector<std::pair<int, int>>> sets;  // per set: slot, rows of its column
  std::vector<std::array<int, 2>> want;                // set, number per place
  std::vector<double> scores;
};

TEST(LibraryScoring, MergedRankingTiesGoToTheEarlierSetThenTheLowerNumber) {
  const std::vector<RankCase> cases = {
      {"twins in three sets",
       {{{5, 3}, {2, 4}}, {{1, 3}}, {{3, 3}}},
       {{0, 5}, {1, 1}, {2, 3}},
       {1.0, 1.0, 1.0}},
      {"lower number first within a set",
       {{{9, 4}}, {{7, 3}, {2, 3}, {30, 4}}},
       {{1, 2}, {1, 7}, {0, 9}},
       {1.0, 1.0, 0.9375}},
      {"a later set's higher score passes",
       {{{1, 4}, {2, 4}}, {{40, 3}}},
       {{1, 40}, {0, 1}, {0, 2}},
       {1.0, 0.9375, 0.9375}},
      {"fewer than three results", {{}, {{4, 4}}, {}}, {{1, 4}, {-1, 0}, {-1, 0}}, {0.9375, 0, 0}},
  };
  for (const RankCase& c : cases) {
    std::vector<TPatternBank> banks(c.sets.size());
    for (std::size_t s = 0; s < c.sets.size(); ++s)
      for (const auto& [slot, rows] : c.sets[s]) banks[s].Slot(slot) = Column(1, rows);
    ReferenceLibrary library = LibraryOf(banks);
    const std::array<LibraryMatch, 3> ranks = RecognizeWithLibrary(library, Column(4, 6), 0.75);
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(ranks[r].Set, c.want[r][0]) << c.name << " place " << r + 1;
      EXPECT_EQ(ranks[r].No, c.want[r][1]) << c.name << " place " << r + 1;
      EXPECT_EQ(ranks[r].Score, c.scores[r]) << c.name << " place " << r + 1;
    }
  }
}

TEST(LibraryScoring, FilterLeavesOnlyMappedCandidatesWithTheirScores) {
  std::vector<TPatternBank> banks(3);
  banks[0].Slot(1) = Column(1, 3);  // 'X'
  banks[0].Slot(2) = Column(1, 4);  // 'a'
  banks[1].Slot(1) = Column(1, 3);  // a set without a map
  banks[2].Slot(6) = Column(1, 4);  // '7'
  banks[2].Slot(8) = Column(1, 3);  // unmapped in a set with a map
  banks[2].Slot(9) = Column(1, 3);  // mapped to a blank
  ReferenceLibrary library = LibraryOf(banks);
  library.Sets[0].Chars.CharMapLoaded = true;
  library.Sets[0].Chars.CharMap[1] = 'X';
  library.Sets[0].Chars.CharMap[2] = 'a';
  library.Sets[2].Chars.CharMapLoaded = true;
  library.Sets[2].Chars.CharMap[6] = '7';
  library.Sets[2].Chars.CharMap[9] = ' ';

  const std::array<LibraryMatch, 3> all = RecognizeWithLibrary(library, Column(1, 3), 0.75);
  EXPECT_EQ(all[0].Char, 'X');
  EXPECT_EQ(all[1].Set, 1);
  EXPECT_EQ(all[1].Char, 0);
  EXPECT_EQ(all[2].No, 8);
  EXPECT_EQ(all[2].Char, 0);
  const PreparedTest test = PrepareTest(Column(1, 3));
  std::vector<ScoreTable> unfiltered;
  for (const ReferenceSet& set : library.Sets) unfiltered.push_back(ScoreSet(set, test, 0.75));

  const CharFilter digits = ParseCharFilter("0-9");
  const std::array<LibraryMatch, 3> ranks =
      RecognizeWithLibrary(library, Column(1, 3), 0.75, digits);
  EXPECT_EQ(ranks[0].Set, 2);
  EXPECT_EQ(ranks[0].No, 6);
  EXPECT_EQ(ranks[0].Char, '7');
  EXPECT_EQ(ranks[0].Score, 0.9375);
  EXPECT_EQ(ranks[1].No, 0);
  const std::array<LibraryMatch, 3> letters =
      RecognizeWithLibrary(library, Column(1, 3), 0.75, ParseCharFilter("a-zX"));
  EXPECT_EQ(letters[0].Char, 'X');
  EXPECT_EQ(letters[1].Char, 'a');
  EXPECT_EQ(letters[2].No, 0);
  // Candidates keep their scores bit for bit; the others are not scored.
  const CharFilter letterFilter = ParseCharFilter("a-zX");
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ScoreTable filtered = ScoreSet(library.Sets[s], test, 0.75, letterFilter);
    for (int k = 1; k <= kReferenceCount; ++k) {
      const TScoreEntry& e = filtered[k];
      const TScoreEntry& u = unfiltered[s][k];
      const bool candidate = (s == 0 && k <= 2);
      EXPECT_EQ(Bits(e.H), Bits(candidate ? u.H : NoScore)) << s << " " << k;
      EXPECT_EQ(Bits(e.V), Bits(candidate ? u.V : NoScore)) << s << " " << k;
      EXPECT_EQ(Bits(e.Mean), Bits(candidate ? u.Mean : 0.0)) << s << " " << k;
    }
  }
}

// The best three whatever order the candidates come in: rank first, then the earlier set,
// then the lower number; fewer candidates leave empty places.
TEST(LibraryScoring, BestThreeIgnoresTheOrderOfOffers) {
  struct Offer {
    int Set, No;
    long double Rank;
  };
  const std::vector<Offer> offers = {{2, 5, 0.5L}, {0, 9, 0.7L}, {1, 3, 0.7L},
                                     {0, 4, 0.7L}, {3, 1, 0.9L}, {0, 1, 0.2L}};
  const std::vector<std::array<int, 2>> want = {{3, 1}, {0, 4}, {0, 9}};
  std::vector<std::size_t> order(offers.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  do {
    BestThree best;
    for (std::size_t i : order)
      best.Offer(LibraryMatch{offers[i].Set, offers[i].No, 0.5, 0}, offers[i].Rank);
    for (std::size_t p = 0; p < 3; ++p) {
      EXPECT_EQ(best.Matches()[p].Set, want[p][0]) << p;
      EXPECT_EQ(best.Matches()[p].No, want[p][1]) << p;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  BestThree one;
  one.Offer(LibraryMatch{1, 2, 0.5, 0}, 0.5L);
  EXPECT_EQ(one.Matches()[1].Set, -1);
  EXPECT_EQ(one.Matches()[2].No, 0);
}

// A distinct ranking keeps each character's best offer only, in any order of offers.
TEST(LibraryScoring, DistinctBestThreeKeepsOnePlacePerCharacter) {
  struct Offer {
    int Set, No;
    char Char;
    long double Rank;
  };
  const std::vector<Offer> offers = {{0, 1, 'a', 0.9L}, {1, 1, 'a', 0.8L}, {2, 1, 'a', 0.95L},
                                     {0, 2, 'l', 0.7L}, {1, 2, '1', 0.6L}, {2, 2, 'l', 0.75L}};
  const std::vector<std::array<int, 2>> want = {{2, 1}, {2, 2}, {1, 2}};
  std::vector<std::size_t> order(offers.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  do {
    BestThree best(/*distinct=*/true);
    for (std::size_t i : order)
      best.Offer(LibraryMatch{offers[i].Set, offers[i].No, 0.5, offers[i].Char}, offers[i].Rank);
    for (std::size_t p = 0; p < 3; ++p) {
      EXPECT_EQ(best.Matches()[p].Set, want[p][0]) << p;
      EXPECT_EQ(best.Matches()[p].No, want[p][1]) << p;
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

// Whatever the ranking holds, a refused offer would have changed nothing, and offers below
// the third place or below their character's place are refused.
TEST(LibraryScoring, RefusedOffersChangeNothing) {
  std::mt19937 rng(1209);
  int refused = 0;
  for (bool distinct : {false, true})
    for (int round = 0; round < 300; ++round) {
      BestThree best(distinct);
      for (int k = 0; k < 8; ++k) {
        const LibraryMatch match{static_cast<int>(rng() % 3), 1 + static_cast<int>(rng() % 40), 0.5,
                                 "abc"[rng() % 3]};
        const long double rank = static_cast<long double>(rng() % 6) / 4;
        if (best.Refuses(match.Char, rank)) {
          ++refused;
          BestThree offered = best;
          offered.Offer(match, rank);
          for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_EQ(offered.Matches()[p].Set, best.Matches()[p].Set);
            EXPECT_EQ(offered.Matches()[p].No, best.Matches()[p].No);
          }
        }
        best.Offer(match, rank);
      }
      const std::array<LibraryMatch, 3>& held = best.Matches();
      if (held[2].No != 0) {
        EXPECT_FALSE(best.Refuses('z', 10.0L));
      }
      if (distinct && held[0].No != 0) {
        EXPECT_TRUE(best.Refuses(held[0].Char, -1.0L));
      }
    }
  EXPECT_GT(refused, 500);
}

TEST(LibraryScoring, ProbesMustMatchTheSets) {
  ReferenceLibrary library = LibraryOf(std::vector<TPatternBank>(2));
  const TPattern test = Column(1, 3);
  EXPECT_THROW(RecognizeWithLibrary(library, std::vector<SetProbe>{{&test, 0.75}}), Error);
  EXPECT_THROW(RecognizeWithLibrary(library, std::vector<SetProbe>{{&test, 0.75}, {nullptr, 0.75}}),
               Error);
  // A set built by hand and never prepared is refused, not scored against stale references.
  library.Sets.emplace_back();
  EXPECT_THROW(RecognizeWithLibrary(library, test, 0.75), Error);
}

}  // namespace
}  // namespace morvik
