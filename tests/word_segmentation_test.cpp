// Tests of segmenting words by recognition with a scripted recogniser: a word is searched only
// where it reads poorly or holds a box too wide, a box is cut and boxes are joined only where the
// readings fit clearly better, words do not join across spaces, and no piece is read twice; and
// with the stock library on rendered words.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "font_files.h"
#include "fonts/render.h"
#include "library/reference_library.h"
#include "reading/ligatures.h"
#include "reading/read_picture.h"
#include "reading/stock_library.h"
#include "reading/word_segmentation.h"

namespace morvik {
namespace {

// Two solid strokes of height 20, columns [0, 8) and [12, 20), touching through a thin bar at
// rows 9..10 (so the box [0, 20) is one component).
BinaryImage TwoStrokes() {
  BinaryImage b;
  b.Width = 20;
  b.Height = 20;
  b.Ink.assign(400, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (x < 8 || x >= 12 || y == 9 || y == 10) b.Ink[y * 20 + x] = 1;
  return b;
}

using Key = std::tuple<int, int, int, int>;

// Scores and characters by box (0.1 and x for any other); every box asked for is recorded.
struct Scripted {
  std::map<Key, double> Scores;
  std::map<Key, char> Chars;  // 'x' for any other
  std::vector<Key> Asked;
  BoxRecognizer Fn() {
    return [this](const CharBox& b) {
      const Key k{b.Left, b.Top, b.Width, b.Height};
      Asked.push_back(k);
      const auto it = Scores.find(k);
      std::array<LibraryMatch, 3> best{};
      const auto c = Chars.find(k);
      best[0] = LibraryMatch{0, 1, it == Scores.end() ? 0.1 : it->second,
                             c == Chars.end() ? 'x' : c->second};
      return best;
    };
  }
};

RecognizedBox Box(int left, int width, double score, bool space = false) {
  RecognizedBox r;
  r.Box = CharBox{left, 0, width, 20, space, false};
  r.Best[0] = LibraryMatch{0, 1, score, 'x'};
  return r;
}

std::vector<Key> Boxes(const std::vector<RecognizedBox>& line) {
  std::vector<Key> out;
  for (const RecognizedBox& r : line)
    out.push_back(Key{r.Box.Left, r.Box.Top, r.Box.Width, r.Box.Height});
  return out;
}

bool NoneAskedTwice(std::vector<Key> asked) {
  std::sort(asked.begin(), asked.end());
  return std::adjacent_find(asked.begin(), asked.end()) == asked.end();
}

TEST(WordSegmentationTest, CutsAWideBoxOnlyWhereBothPiecesReadClearlyBetter) {
  // The bar's columns are the cuts: [0, 10) and [10, 20) shrink to the strokes with the bar.
  const Key left{0, 0, 10, 20}, right{10, 0, 10, 20};
  const struct {
    double Whole, Left, Right;
    std::vector<Key> Want;
  } cases[] = {
      {0.1, 0.9, 0.9, {left, right}},
      {0.1, 0.3, 0.3, {Key{0, 0, 20, 20}}},  // no better than the whole with a change's cost
      {0.6, 0.95, 0.95, {left, right}},      // a fair whole, pieces far better
      {0.6, 0.8, 0.8, {Key{0, 0, 20, 20}}},
  };
  for (const auto& c : cases) {
    Scripted s;
    s.Scores = {{left, c.Left}, {right, c.Right}};
    std::vector<RecognizedBox> line = {Box(0, 20, c.Whole, true)};
    SegmentWords(TwoStrokes(), line, 10, s.Fn());
    EXPECT_EQ(Boxes(line), c.Want) << c.Whole << " " << c.Left << " " << c.Right;
    EXPECT_TRUE(line[0].Box.SpaceBefore);
    if (line.size() == 2) {
      EXPECT_EQ(line[1].Best[0].Score, c.Right);
    }
    EXPECT_TRUE(NoneAskedTwice(s.Asked));
    EXPECT_EQ(std::count(s.Asked.begin(), s.Asked.end(), Key{0, 0, 20, 20}), 0);  // known
  }
}

TEST(WordSegmentationTest, JoinsPiecesOfOneWordWhereTheJoinedBoxReadsClearlyBetter) {
  const struct {
    std::vector<RecognizedBox> Line;
    double Joined;
    int Pitch;
    std::vector<int> Lefts;  // of the boxes left
  } cases[] = {
      {{Box(0, 8, 0.1), Box(12, 8, 0.1)}, 0.9, 12, {0}},
      {{Box(0, 8, 0.1), Box(12, 8, 0.1)}, 0.4, 12, {0, 12}},
      {{Box(0, 8, 0.1), Box(12, 8, 0.1)}, 0.9, 10, {0, 12}},        // too wide for one letter
      {{Box(0, 8, 0.1), Box(12, 8, 0.1, true)}, 0.9, 12, {0, 12}},  // a word space between
      {{Box(0, 8, 0.1), Box(19, 8, 0.1)}, 0.9, 12, {0, 19}},        // too far apart
      {{Box(0, 8, 0.8), Box(12, 8, 0.8)}, 0.99, 12, {0, 12}},       // read well: not searched
      // The ticks of a double quote, read fairly each, join where the whole reads better.
      {{Box(0, 3, 0.6), Box(5, 3, 0.6)}, 0.7, 12, {0}},
      {{Box(0, 3, 0.6), Box(5, 3, 0.6)}, 0.5, 12, {0, 5}},
  };
  for (const auto& c : cases) {
    Scripted s;
    const RecognizedBox& b = c.Line.back();
    s.Scores[Key{0, 0, b.Box.Left + b.Box.Width, 20}] = c.Joined;
    std::vector<RecognizedBox> line = c.Line;
    if (c.Line[0].Box.Width == 3) {  // marks: half the height of the word's letter
      for (RecognizedBox& r : line) r.Box.Height = 8;
      s.Scores = {{Key{0, 0, 8, 8}, c.Joined}};
      line.push_back(Box(12, 8, 0.9));
    }
    SegmentWords(TwoStrokes(), line, c.Pitch, s.Fn());
    std::vector<int> lefts;
    for (const RecognizedBox& r : line) lefts.push_back(r.Box.Left);
    if (c.Line[0].Box.Width == 3) lefts.pop_back();
    EXPECT_EQ(lefts, c.Lefts) << c.Joined << " " << c.Pitch;
    EXPECT_TRUE(NoneAskedTwice(s.Asked));
  }
}

// Two boxes the segmenter cut out of one blot (abutting) whose join reads as m replace their
// readings only where the join pays no change cost: its parts starting at one height (the
// stems and arches of an m), not a part rising above the other (t and h touching), nor boxes
// a column apart.
TEST(WordSegmentationTest, JoinsAbuttingBoxesWithEvenTopsIntoAWideLetter) {
  const struct {
    int RightLeft, RightTop;
    char Joined;
    std::vector<int> Lefts;  // of the boxes left
  } cases[] = {
      {10, 0, 'm', {0}},      // joined
      {10, 0, 'w', {0}},      // joined
      {10, 3, 'm', {0}},      // tops a little apart (a serif): joined
      {10, 0, 'n', {0, 10}},  // no wide letter: the change costs
      {10, 6, 'm', {0, 10}},  // a top apart
      {11, 0, 'm', {0, 11}},  // a column apart
  };
  for (const auto& c : cases) {
    RecognizedBox left = Box(0, 10, 0.1), right = Box(c.RightLeft, 10, 0.95);
    right.Box.Top = c.RightTop;
    right.Box.Height = 20 - c.RightTop;
    Scripted s;
    const Key joined{0, 0, c.RightLeft + 10, 20};
    s.Scores = {{joined, 0.8}};
    s.Chars = {{joined, c.Joined}};
    std::vector<RecognizedBox> line = {left, right};
    SegmentWords(TwoStrokes(), line, 12, s.Fn());
    std::vector<int> lefts;
    for (const RecognizedBox& r : line) lefts.push_back(r.Box.Left);
    EXPECT_EQ(lefts, c.Lefts) << c.Joined << " " << c.RightLeft << " " << c.RightTop;
  }
}

TEST(WordSegmentationTest, WordsThatReadWellAreLeftAsCutWithoutReadingMore) {
  Scripted s;
  const std::vector<RecognizedBox> words = {Box(0, 8, 0.5, true), Box(9, 9, 0.4),
                                            Box(30, 12, 0.3, true), Box(43, 8, 0.2)};
  std::vector<RecognizedBox> line = words;
  SegmentWords(TwoStrokes(), line, 10, s.Fn());
  EXPECT_EQ(Boxes(line), Boxes(words));
  EXPECT_TRUE(s.Asked.empty());
}

// A box too wide read clearly as a letter wide by nature stays whole unasked; read as another
// letter, or poorly, it is searched.
TEST(WordSegmentationTest, WideLettersThatReadClearlyAreNotSearched) {
  const struct {
    char Char;
    double Score;
    bool Searched;
  } cases[] = {{'m', 0.6, false}, {'W', 0.5, false}, {'x', 0.6, true}, {'m', 0.3, true}};
  for (const auto& c : cases) {
    Scripted s;
    std::vector<RecognizedBox> line = {Box(0, 20, c.Score, true)};
    line[0].Best[0].Char = c.Char;
    SegmentWords(TwoStrokes(), line, 10, s.Fn());
    EXPECT_EQ(!s.Asked.empty(), c.Searched) << c.Char << " " << c.Score;
  }
}

// Two boxes read poorly, each two strokes joined by a one-column bar, so each is cut in two:
// the piece that mends a cut made a little off (the right half of one box with the left half
// of the next) is asked, a longer one crossing a box's edge (three halves) only without a limit.
TEST(WordSegmentationTest, PiecesCrossingABoxEdgeAreTakenFromTwoHalvesOnly) {
  BinaryImage ink{28, 20, std::vector<std::uint8_t>(560, 0)};
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 28; ++x) {
      const int at = x < 13 ? x : x - 15;  // columns of the boxes at 0 and at 15
      ink.Ink[y * 28 + x] = at >= 0 && (at != 6 || y == 9 || y == 10);
    }
  const Key halves{6, 0, 15, 20}, halfAndBox{6, 0, 22, 20}, boxAndHalf{0, 0, 21, 20};
  for (const std::size_t limit : {std::size_t{2}, std::size_t{0}}) {
    Scripted s;
    std::vector<RecognizedBox> line = {Box(0, 13, 0.1, true), Box(15, 13, 0.1)};
    SegmentWords(ink, line, 13, s.Fn(), nullptr, SearchReach{limit, true});
    const auto asked = [&](const Key& k) { return std::count(s.Asked.begin(), s.Asked.end(), k); };
    EXPECT_EQ(asked(halves), 1) << limit;
    EXPECT_EQ(asked(halfAndBox) + asked(boxAndHalf), limit == 0 ? 2 : 0) << limit;
  }
}

// A narrow box between two that are cut in two: a cut made a little off is mended from the
// pieces beside it (half a box and the narrow one), never from pieces of three boxes.
TEST(WordSegmentationTest, PiecesCrossingABoxEdgeReachNoFurtherThanTheNextBox) {
  BinaryImage ink{34, 20, std::vector<std::uint8_t>(680, 0)};
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 34; ++x) {
      const int at = x < 13 ? x : x < 21 ? -1 : x - 21;  // columns of the boxes at 0 and at 21
      ink.Ink[y * 34 + x] = (x >= 15 && x < 19) || (at >= 0 && (at != 6 || y == 9 || y == 10));
    }
  Scripted s;
  std::vector<RecognizedBox> line = {Box(0, 13, 0.1, true), Box(15, 4, 0.1), Box(21, 13, 0.1)};
  SegmentWords(ink, line, 13, s.Fn());
  const auto asked = [&](const Key& k) { return std::count(s.Asked.begin(), s.Asked.end(), k); };
  EXPECT_EQ(asked(Key{6, 0, 13, 20}), 1);  // half a box and the narrow one
  EXPECT_EQ(asked(Key{6, 0, 21, 20}), 0);  // and half of the box after
}

// A join is not recognised where it could not beat the boxes as cut even reading perfectly:
// a narrow box read poorly costs less than a change does.
TEST(WordSegmentationTest, JoinsThatCannotWinAreNotRecognised) {
  const struct {
    int Width;  // of the box read poorly
    bool Asked;
  } cases[] = {{3, false}, {8, true}};
  for (const auto& c : cases) {
    Scripted s;
    std::vector<RecognizedBox> line = {Box(0, 8, 0.9, true), Box(12, c.Width, 0.1)};
    SegmentWords(TwoStrokes(), line, 12, s.Fn());
    EXPECT_EQ(s.Asked.empty(), !c.Asked) << c.Width;
    EXPECT_EQ(Boxes(line), (std::vector<Key>{{0, 0, 8, 20}, {12, 0, c.Width, 20}})) << c.Width;
  }
}

// Empty cells (a table's) pass through and end the word before them.
TEST(WordSegmentationTest, EmptyCellsStayAndSeparateWords) {
  Scripted s;
  RecognizedBox empty = Box(9, 2, 0);
  empty.Box.Empty = true;
  std::vector<RecognizedBox> line = {Box(0, 8, 0.1), empty, Box(12, 8, 0.1)};
  s.Scores[Key{0, 0, 20, 20}] = 0.99;
  SegmentWords(TwoStrokes(), line, 10, s.Fn());
  ASSERT_EQ(line.size(), 3u);
  EXPECT_TRUE(line[1].Box.Empty);
}

// TwoStrokes widened by two more strokes at [24, 30) and [34, 40): a word of three boxes.
BinaryImage FourStrokes() {
  BinaryImage ink = TwoStrokes();
  ink.Width = 40;
  ink.Ink.assign(800, 0);
  const BinaryImage strokes = TwoStrokes();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x)
      ink.Ink[y * 40 + x] = x < 20 ? strokes.Ink[y * 20 + x] : (x % 10 >= 4 ? 1 : 0);
  return ink;
}

// With a lexicon, a word that reads clearly but makes no word it holds is searched: the clear
// m of the two touching strokes is cut into r and n where that makes a word. Words it holds,
// words with digits, and searches that find no word keep the segmenter's boxes.
TEST(WordSegmentationTest, TheLexiconSearchesClearWordsItDoesNotHold) {
  const BinaryImage ink = FourStrokes();
  const Key m{0, 0, 20, 20}, r{0, 0, 10, 20}, n{10, 0, 10, 20}, o{24, 0, 6, 20}, w{34, 0, 6, 20};
  const struct {
    std::string Words;
    char Second;
    bool WithLexicon;
    std::vector<Key> Want;
    int Pitch = 10;
    SearchReach Reach = {};
  } cases[] = {
      {"rnow", 'o', true, {r, n, o, w}},  // cut: the pieces make a word
      {"mow", 'o', true, {m, o, w}},      // already a word: not searched
      {"rnow", 'o', false, {m, o, w}},    // no lexicon (lines, screens)
      {"rnow", '0', true, {m, o, w}},     // a digit: a code, not searched
      {"other", 'o', true, {m, o, w}},    // no word found
      // The m narrower than 1.1 typical widths: a screenshot's search does not cut it.
      {"rnow", 'o', true, {r, n, o, w}, 19},
      {"rnow", 'o', true, {m, o, w}, 19, kScreenReach},
  };
  for (const auto& c : cases) {
    const Lexicon words(c.Words);
    Scripted s;
    s.Scores = {{r, 0.75}, {n, 0.75}};
    s.Chars = {{r, 'r'}, {n, 'n'}};
    std::vector<RecognizedBox> line = {Box(0, 20, 0.8, true), Box(24, 6, 0.8), Box(34, 6, 0.8)};
    const char read[] = {'m', c.Second, 'w'};
    for (std::size_t k = 0; k < 3; ++k) line[k].Best[0].Char = read[k];
    SegmentWords(ink, line, c.Pitch, s.Fn(), c.WithLexicon ? &words : nullptr, c.Reach);
    EXPECT_EQ(Boxes(line), c.Want) << c.Words << " " << c.WithLexicon;
    EXPECT_TRUE(NoneAskedTwice(s.Asked));
    if (c.Want.size() == 4) {
      EXPECT_EQ(line[1].Best[0].Char, 'n');
    }
    if (c.Words == "mow" || !c.WithLexicon || c.Second == '0') {
      EXPECT_TRUE(s.Asked.empty());
    }
  }
}

// A screenshot's search leaves the words the lexicon settles: "mow" with a poor o (unless its
// m is wider than 1.25 typical widths), and "mew" whose e reads nearly as well as o.
TEST(WordSegmentationTest, ScreenSearchLeavesWordsTheLexiconSettles) {
  const Lexicon words("mow");
  const struct {
    char Second;
    double Score;  // of the second box
    int Pitch;
    SearchReach Reach;
    bool Searched;
  } cases[] = {
      // A page's search finds the boxes as cut the best: no piece can beat them.
      {'o', 0.1, 19, kScreenReach, false}, {'o', 0.1, 19, {}, false},
      {'o', 0.1, 10, kScreenReach, true},  // the m two typical widths wide
      {'e', 0.8, 19, kScreenReach, false}, {'e', 0.8, 19, {}, true},
  };
  for (const auto& c : cases) {
    Scripted s;
    std::vector<RecognizedBox> line = {Box(0, 20, 0.8, true), Box(24, 6, c.Score), Box(34, 6, 0.8)};
    const char read[] = {'m', c.Second, 'w'};
    for (std::size_t k = 0; k < 3; ++k) line[k].Best[0].Char = read[k];
    line[1].Best[1] = LibraryMatch{0, 2, c.Score - 0.05, 'o'};
    SegmentWords(FourStrokes(), line, c.Pitch, s.Fn(), &words, c.Reach);
    EXPECT_EQ(!s.Asked.empty(), c.Searched) << c.Second << " " << c.Pitch;
    EXPECT_EQ(line.size(), 3u);
    EXPECT_EQ(line[1].Best[0].Char, 'o') << c.Second << " " << c.Pitch;
  }
}

// A stem the segmenter cut off a wide letter reads as 1 (warm as warn1, manual as n1anual):
// such a word is no code, so the lexicon searches it and the join that makes a word is taken;
// another digit still makes a code, and without a lexicon nothing is searched.
TEST(WordSegmentationTest, TheLexiconSearchesWordsWithAStemReadAsOne) {
  BinaryImage ink = TwoStrokes();  // moved right by 20, after two strokes at [0, 6), [10, 16)
  const BinaryImage strokes = TwoStrokes();
  ink.Width = 40;
  ink.Ink.assign(800, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x)
      ink.Ink[y * 40 + x] = x >= 20 ? strokes.Ink[y * 20 + x - 20] : (x % 10 < 6 ? 1 : 0);
  const Key o{0, 0, 6, 20}, w{10, 0, 6, 20}, n{20, 0, 10, 20}, stem{30, 0, 10, 20};
  const Key m{20, 0, 20, 20};
  const struct {
    char Stem;
    bool WithLexicon;
    std::vector<Key> Want;
  } cases[] = {
      {'1', true, {o, w, m}},
      {'7', true, {o, w, n, stem}},
      {'1', false, {o, w, n, stem}},
  };
  for (const auto& c : cases) {
    const Lexicon words("owm\nown");  // own: the letters before the stem make a word too
    Scripted s;
    s.Scores = {{m, 0.8}};
    s.Chars = {{m, 'm'}};
    std::vector<RecognizedBox> line = {Box(0, 6, 0.8, true), Box(10, 6, 0.8), Box(20, 10, 0.75),
                                       Box(30, 10, 0.75)};
    const char read[] = {'o', 'w', 'n', c.Stem};
    for (std::size_t k = 0; k < 4; ++k) line[k].Best[0].Char = read[k];
    SegmentWords(ink, line, 10, s.Fn(), c.WithLexicon ? &words : nullptr);
    EXPECT_EQ(Boxes(line), c.Want) << c.Stem << " " << c.WithLexicon;
  }
}

// Two f's touching at their bars read as the fl ligature, a wide-hooked f as fi or fl: where
// only ff (or f) makes a word, the reading becomes that; a word read right, or none found,
// stays.
TEST(WordSegmentationTest, ReadsALigatureAsItsLookAlikeWhereOnlyThatMakesAWord) {
  const char fi = kLigatures[0].Code, fl = kLigatures[1].Code, ff = kLigatures[2].Code,
             ffi = kLigatures[3].Code;
  const struct {
    std::string Words;
    char Read, Want;
  } cases[] = {{"ffox", fl, ff}, {"flox\nffox", fl, fl}, {"other", fl, fl}, {"fox", fi, 'f'},
               {"fox", fl, 'f'}, {"fiox\nfox", fi, fi},  {"ffox", ffi, ff}, {"other", fi, fi}};
  for (const auto& c : cases) {
    const Lexicon words(c.Words);
    Scripted s;
    std::vector<RecognizedBox> line = {Box(0, 20, 0.8, true), Box(24, 6, 0.8), Box(34, 6, 0.8)};
    const char read[] = {c.Read, 'o', 'x'};
    for (std::size_t k = 0; k < 3; ++k) line[k].Best[0].Char = read[k];
    SegmentWords(TwoStrokes(), line, 10, s.Fn(), &words);
    EXPECT_EQ(line[0].Best[0].Char, c.Want) << c.Words << " " << int{c.Read};
  }
}

// A picture of 12 rows whose columns, "INK/FIRST-LAST" each, hold INK pixels from row FIRST
// to row LAST, as a box cut out of a page: only the columns' profile matters to the cuts.
BinaryImage Profiled(const std::string& columns) {
  BinaryImage b;
  b.Height = 12;
  std::vector<std::array<int, 3>> cols;
  std::istringstream in(columns);
  for (std::array<int, 3> c; in >> c[0] && in.ignore() >> c[1] && in.ignore() >> c[2];)
    cols.push_back(c);
  b.Width = static_cast<int>(cols.size());
  b.Ink.assign(static_cast<std::size_t>(b.Width * b.Height), 0);
  for (int x = 0; x < b.Width; ++x) {
    const auto [ink, first, last] = cols[static_cast<std::size_t>(x)];
    for (int y = first, n = 0; n < ink; ++n, y = n + 1 == ink ? last : y + 1)
      b.Ink[static_cast<std::size_t>(y * b.Width + x)] = 1;
  }
  return b;
}

// Touching letters whose join is a thin stroke: the search is offered the cut where the stroke
// ends against the next letter, so each letter keeps its own ink and the pair reads, rather
// than only cuts through the stroke's middle; but not where an arch meets a stem, which would
// make rn of an m and ri of an n.
TEST(WordSegmentationTest, CutsWhereAThinStrokeEndsAgainstARoundLetter) {
  const struct {
    std::string Columns;
    int At;
    bool Offered;
  } cases[] = {
      // r and e of a serif face at 150 dpi, touching at the top (read as m before).
      {"2/1-10 10/1-10 11/0-10 3/2-10 3/1-10 2/0-1 3/0-2 4/1-6 7/3-9 9/2-10 5/1-10 4/0-10 "
       "4/0-11 4/0-11 4/0-10 6/1-10 5/2-9",
       7, true},
      // An n: its arch (rows 0-2) meets the right stem.
      {"1/11-11 12/0-11 12/0-11 2/0-1 2/0-1 2/0-1 2/0-1 3/0-2 11/1-11 11/1-11 1/11-11", 8, false},
  };
  for (const auto& c : cases) {
    const BinaryImage ink = Profiled(c.Columns);
    std::vector<int> lefts;
    const BoxRecognizer recognize = [&](const CharBox& b) {
      lefts.push_back(b.Left);
      std::array<LibraryMatch, 3> best{};
      const bool letter = (b.Left == 0 && b.Width == c.At) || b.Left == c.At;
      best[0] = LibraryMatch{0, 1, letter ? 0.9 : 0.1, b.Left == 0 ? 'r' : 'e'};
      return best;
    };
    std::vector<RecognizedBox> line = {Box(0, ink.Width, 0.1, true)};
    line[0].Box.Height = ink.Height;
    SegmentWords(ink, line, 10, recognize);
    EXPECT_EQ(std::count(lefts.begin(), lefts.end(), c.At) > 0, c.Offered) << c.At;
    EXPECT_EQ(line.size(), c.Offered ? 2u : 1u) << c.At;
  }
}

// Rendered words with the stock library: r and y, r and n touch (the segmenter leaves them in one
// box, read as W or m) and read right only when cut by the search; words the segmenter cut
// right stay as they were; joined ff and ffi of the serif italic read as their letters; the
// wide m of Bookman, which the segmenter cuts at a stem into n and l (or n and x), reads whole.
TEST(WordSegmentationTest, ReadsTouchingLettersOfRenderedWords) {
  const std::string stock =
      FindStockLibrary(std::filesystem::path(MORVIK_BINARY).parent_path().string());
  ASSERT_FALSE(stock.empty());
  const ReferenceLibrary library = OpenReferenceNames({stock});
  const std::string kItalic = "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Italic.otf";
  const std::string kBookman = "/usr/share/fonts/opentype/urw-base35/URWBookman-Light.otf";
  const struct {
    const std::string& Font;
    int Size, Tracking;
    std::string Text;
  } cases[] = {
      {test::kDejaVuSerif, 10, 0, "directory"},
      {test::kDejaVuSerif, 12, 0, "rotary"},
      {test::kDejaVuSans, 18, -1, "directory"},
      {test::kNimbusRomanOtf, 14, -1, "burn"},
      {test::kNimbusRomanOtf, 14, 0, "resizing links curtain"},  // cut right already
      {kBookman, 42, 0, "the room committee most common number"},
      {kBookman, 33, 0, "the room committee most common"},
      // Joined ff and ffi of the serif italic, read as letters.
      {kItalic, 42, 0, "tra\uFB03c sni\uFB00le"},
  };
  for (const auto& c : cases) {
    if (!test::FontInstalled(c.Font)) continue;
    RenderOptions o;
    o.Margin = 6;
    o.Tracking = c.Tracking;
    const Bitmap picture = RenderText(FontFace(c.Font), {c.Text}, c.Size, o);
    const PictureReading r = ReadPicture(ReadingGrey(picture), library, {});
    const std::string want = c.Font == kItalic ? "traffic sniffle" : c.Text;
    EXPECT_EQ(ReadingText(r), std::vector<std::string>{want}) << c.Font << " " << c.Size;
  }
}

}  // namespace
}  // namespace morvik
