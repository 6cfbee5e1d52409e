#include "reading/box_correction.h"

#include <algorithm>

namespace morvik {

namespace {

CharBox ShrinkToInk(const BinaryImage& ink, int left, int right, const CharBox& box) {
  Rect r;
  for (int y = box.Top; y < box.Top + box.Height; ++y)
    for (int x = left; x < right; ++x)
      if (ink.At(x, y)) r = Union(r, Rect{x, y, 1, 1});
  return CharBox{r.Left, r.Top, r.Width, r.Height, false, false};
}

// Up to three columns with the least ink in the middle half of the box, apart from each other.
std::vector<int> CutCandidates(const BinaryImage& ink, const CharBox& box) {
  std::vector<std::pair<int, int>> columns;  // ink, column
  const int from = box.Left + box.Width / 4, to = box.Left + box.Width - box.Width / 4;
  for (int x = from; x < to; ++x) {
    int n = 0;
    for (int y = box.Top; y < box.Top + box.Height; ++y) n += ink.At(x, y);
    columns.push_back({n, x});
  }
  std::sort(columns.begin(), columns.end());
  std::vector<int> cuts;
  const int apart = std::max(2, box.Width / 10);
  for (const auto& column : columns) {
    const int x = column.second;  // a named copy: C++17 lambdas cannot capture a binding
    if (cuts.size() == 3) break;
    if (std::all_of(cuts.begin(), cuts.end(), [&](int c) { return std::abs(c - x) >= apart; }))
      cuts.push_back(x);
  }
  return cuts;
}

bool IsCharacterPiece(const CharBox& piece, const CharBox& box) {
  return piece.Width > 0 && 2 * piece.Height >= box.Height && 8 * piece.Width >= box.Height;
}

std::vector<RecognizedBox> Split(const BinaryImage& ink, const RecognizedBox& whole,
                                 int typicalWidth, const BoxRecognizer& recognize, int depth) {
  const CharBox& box = whole.Box;
  // No score passes 1: a whole box matched within the margin of that is never split.
  if (depth == 0 || 10 * box.Width < 8 * box.Height || 10 * box.Width < 12 * typicalWidth ||
      whole.Best[0].Score + kSplitMargin >= 1)
    return {whole};
  double bestScore = whole.Best[0].Score + kSplitMargin;
  RecognizedBox bestLeft, bestRight;
  bool found = false;
  for (const int cut : CutCandidates(ink, box)) {
    const CharBox left = ShrinkToInk(ink, box.Left, cut, box);
    const CharBox right = ShrinkToInk(ink, cut, box.Left + box.Width, box);
    if (!IsCharacterPiece(left, box) || !IsCharacterPiece(right, box)) continue;
    RecognizedBox l{left, recognize(left)};
    if (l.Best[0].No == 0 || l.Best[0].Score <= bestScore) continue;  // the right cannot help
    RecognizedBox r{right, recognize(right)};
    if (r.Best[0].No == 0) continue;
    const double score = std::min(l.Best[0].Score, r.Best[0].Score);
    if (score > bestScore) {
      bestScore = score;
      bestLeft = l;
      bestRight = r;
      found = true;
    }
  }
  if (!found) return {whole};
  bestLeft.Box.SpaceBefore = box.SpaceBefore;
  std::vector<RecognizedBox> out = Split(ink, bestLeft, typicalWidth, recognize, depth - 1);
  for (const RecognizedBox& b : Split(ink, bestRight, typicalWidth, recognize, depth - 1))
    out.push_back(b);
  return out;
}

// The detail of the joined box is nearly that of a reference and far more alike than either
// piece's: a wide serif M whose halves the line matcher reads as an A and a 4.
bool ClearlyMoreAlike(const LibraryMatch& joined, const LibraryMatch& a, const LibraryMatch& b) {
  return joined.Likeness >= kJoinLikeness &&
         joined.Likeness > std::max(a.Likeness, b.Likeness) + kJoinLikenessMargin;
}

}  // namespace

std::vector<RecognizedBox> RecognizeSplitting(const BinaryImage& ink, const CharBox& box,
                                              int typicalWidth, const BoxRecognizer& recognize) {
  return Split(ink, RecognizedBox{box, recognize(box)}, typicalWidth, recognize, 2);
}

void JoinPieces(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize) {
  for (std::size_t i = 0; i + 1 < line.size();) {
    const CharBox &a = line[i].Box, &b = line[i + 1].Box;
    const Rect joined =
        Union(Rect{a.Left, a.Top, a.Width, a.Height}, Rect{b.Left, b.Top, b.Width, b.Height});
    const double pieces = std::max(line[i].Best[0].Score, line[i + 1].Best[0].Score);
    const bool candidate = pieces + kJoinMargin < 1 && !b.SpaceBefore && !a.Empty && !b.Empty &&
                           2 * joined.Width <= 3 * joined.Height &&
                           3 * (b.Left - (a.Left + a.Width)) <= joined.Height;
    if (candidate) {
      const CharBox box{joined.Left, joined.Top, joined.Width, joined.Height, a.SpaceBefore, false};
      const std::array<LibraryMatch, 3> best = recognize(box);
      if (best[0].No != 0 && (best[0].Score > pieces + kJoinMargin ||
                              ClearlyMoreAlike(best[0], line[i].Best[0], line[i + 1].Best[0]))) {
        line[i] = RecognizedBox{box, best};
        line.erase(line.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        continue;
      }
    }
    ++i;
  }
}

}  // namespace morvik
