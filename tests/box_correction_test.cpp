// Tests of correcting character boxes by recognition, with a scripted recogniser: a wide box is
// split only where both pieces beat the whole by the margin, pieces are joined only where the
// joined box beats both, and neither is tried where no score could win; the isolated-pixel filter.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "reading/box_correction.h"
#include "segment/isolated_pixels.h"

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

// Scores by box; every box asked for is recorded.
struct Scripted {
  std::map<Key, double> Scores, Likeness;
  std::vector<Key> Asked;
  BoxRecognizer Fn() {
    return [this](const CharBox& b) {
      const Key k{b.Left, b.Top, b.Width, b.Height};
      Asked.push_back(k);
      std::array<LibraryMatch, 3> best{};
      const auto it = Scores.find(k);
      best[0] = LibraryMatch{0, 1, it == Scores.end() ? 0.1 : it->second, 'x'};
      const auto like = Likeness.find(k);
      if (like != Likeness.end()) best[0].Likeness = like->second;
      return best;
    };
  }
};

TEST(BoxCorrectionTest, SplitsOnlyWhenBothPiecesBeatTheWholeByTheMargin) {
  const BinaryImage ink = TwoStrokes();
  const CharBox whole{0, 0, 20, 20, true, false};
  const struct {
    double Whole, Left, Right;
    std::size_t Pieces;
  } cases[] = {
      {0.5, 0.9, 0.9, 2},
      {0.5, 0.9, 0.5 + kSplitMargin, 1},  // exactly the margin is not enough
      {0.5, 0.9, 0.63, 2},
      {0.7, 0.9, 0.75, 1},
      {1.0 - kSplitMargin, 1.0, 1.0, 1},  // nothing can beat it: not even tried
  };
  for (const auto& c : cases) {
    Scripted s;
    s.Scores = {{Key{0, 0, 20, 20}, c.Whole}};
    // Every cut column in the middle half gives pieces shrunk to their ink; score the pieces of
    // all of them alike.
    for (int cut = 5; cut < 15; ++cut) {
      s.Scores[Key{0, 0, cut, 20}] = c.Left;
      s.Scores[Key{cut, 0, 20 - cut, 20}] = c.Right;
    }
    const std::vector<RecognizedBox> out = RecognizeSplitting(ink, whole, 0, s.Fn());
    ASSERT_EQ(out.size(), c.Pieces) << c.Whole << " " << c.Left << " " << c.Right;
    EXPECT_TRUE(out[0].Box.SpaceBefore);
    if (c.Pieces == 2) {
      EXPECT_FALSE(out[1].Box.SpaceBefore);
      EXPECT_EQ(out[0].Box.Left, 0);
      EXPECT_EQ(out[1].Box.Left + out[1].Box.Width, 20);
      EXPECT_LE(out[0].Box.Left + out[0].Box.Width, out[1].Box.Left);
    }
    if (c.Whole + kSplitMargin >= 1) {
      EXPECT_EQ(s.Asked.size(), 1u);
    }
  }
}

TEST(BoxCorrectionTest, NarrowOrOrdinaryBoxesAreNeverSplit) {
  const BinaryImage ink = TwoStrokes();
  Scripted s;
  s.Scores = {{Key{0, 0, 20, 20}, 0.1}};
  // Narrower than 0.8 of its height, or not 1.2 times the line's typical width.
  EXPECT_EQ(RecognizeSplitting(ink, CharBox{0, 0, 15, 20, false, false}, 0, s.Fn()).size(), 1u);
  EXPECT_EQ(RecognizeSplitting(ink, CharBox{0, 0, 20, 20, false, false}, 17, s.Fn()).size(), 1u);
  EXPECT_EQ(s.Asked.size(), 2u);  // the wholes only
}

RecognizedBox Piece(int left, int width, double score, bool space = false) {
  RecognizedBox r;
  r.Box = CharBox{left, 0, width, 20, space, false};
  r.Best[0] = LibraryMatch{0, 1, score, 'x'};
  return r;
}

TEST(BoxCorrectionTest, JoinsPiecesWhereTheJoinedBoxBeatsBoth) {
  const struct {
    std::vector<RecognizedBox> Line;
    double Joined;
    std::vector<int> Lefts;  // of the boxes left
  } cases[] = {
      {{Piece(0, 8, 0.4), Piece(9, 8, 0.5)}, 0.9, {0}},
      {{Piece(0, 8, 0.4), Piece(9, 8, 0.5)}, 0.5 + kJoinMargin, {0, 9}},
      {{Piece(0, 8, 0.4), Piece(9, 8, 0.5, true)}, 0.9, {0, 9}},  // a space between
      {{Piece(0, 8, 0.4), Piece(17, 8, 0.5)}, 0.9, {0, 17}},      // too far apart
      {{Piece(0, 16, 0.4), Piece(17, 16, 0.5)}, 0.9, {0, 17}},    // too wide joined
      {{Piece(0, 8, 0.9), Piece(9, 8, 0.5)}, 1.0, {0, 9}},        // 0.9 cannot be beaten
  };
  for (const auto& c : cases) {
    Scripted s;
    for (const RecognizedBox& a : c.Line)
      for (const RecognizedBox& b : c.Line)
        if (a.Box.Left < b.Box.Left)
          s.Scores[Key{a.Box.Left, 0, b.Box.Left + b.Box.Width - a.Box.Left, 20}] = c.Joined;
    std::vector<RecognizedBox> line = c.Line;
    JoinPieces(line, s.Fn());
    std::vector<int> lefts;
    for (const RecognizedBox& r : line) lefts.push_back(r.Box.Left);
    EXPECT_EQ(lefts, c.Lefts) << c.Joined;
    if (line.size() == 1) {
      EXPECT_EQ(line[0].Box.Width, c.Line[1].Box.Left + c.Line[1].Box.Width);
      EXPECT_EQ(line[0].Best[0].Score, c.Joined);
    }
  }
}

// Where the detail ranked them, a joined box far more alike in detail than both pieces is
// joined even though the line matcher scores it lower (a serif M read as an A and a 4).
TEST(BoxCorrectionTest, JoinsPiecesWhereTheDetailIsFarMoreAlike) {
  const struct {
    double Left, Right, Joined;  // likeness
    bool Joins;
  } cases[] = {
      {0.45, 0.75, 0.99, true},
      {0.45, 0.75, 0.75 + kJoinLikenessMargin, false},  // exactly the margin is not enough
      {0.45, 0.70, kJoinLikeness - 0.01, false},        // not alike enough itself
      {0.45, 0.95, 0.99, false},                        // a piece is nearly as alike
      {0, 0, 0, false},                                 // the line matcher alone ranked
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line = {Piece(0, 8, 0.45), Piece(9, 8, 0.6)};
    line[0].Best[0].Likeness = c.Left;
    line[1].Best[0].Likeness = c.Right;
    Scripted s;
    s.Scores[Key{0, 0, 17, 20}] = 0.3;
    s.Likeness[Key{0, 0, 17, 20}] = c.Joined;
    JoinPieces(line, s.Fn());
    EXPECT_EQ(line.size(), c.Joins ? 1u : 2u) << c.Left << " " << c.Right << " " << c.Joined;
  }
}

TEST(IsolatedPixelTest, SinglePixelsOfNoiseGoStrokesStay) {
  GreyImage g;
  g.Width = 7;
  g.Height = 5;
  g.Pixels = {
      255, 255, 255, 255, 255, 255, 255,  //
      255, 0,   255, 0,   255, 255, 255,  // a dot at (1, 1); (3, 1) starts a stroke
      255, 255, 255, 0,   255, 40,  255,  // (5, 2) a dot
      255, 255, 255, 0,   200, 255, 255,  // (4, 3) close to the ground: kept
      0,   255, 255, 255, 255, 255, 255,  // a dot in the corner
  };
  const GreyImage out = RemoveIsolatedPixels(g);
  GreyImage want = g;
  want.Pixels[1 * 7 + 1] = 255;
  want.Pixels[2 * 7 + 5] = 255;
  want.Pixels[4 * 7 + 0] = 255;
  EXPECT_EQ(out.Pixels, want.Pixels);

  // A bright dot in a dark field takes the neighbours' median; a dark dot with a soft edge
  // (a neighbour half way to it: the dot of an i at screen sizes) stays.
  GreyImage dark;
  dark.Width = dark.Height = 3;
  dark.Pixels = {10, 20, 30, 40, 255, 50, 60, 70, 70};
  EXPECT_EQ(RemoveIsolatedPixels(dark).Pixels[4], 40);
  GreyImage soft = dark;
  soft.Pixels = {255, 255, 255, 244, 26, 229, 249, 142, 242};
  EXPECT_EQ(RemoveIsolatedPixels(soft).Pixels[4], 26);
}

}  // namespace
}  // namespace morvik
