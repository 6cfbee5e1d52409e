#include "segment/split.h"

#include <algorithm>
#include <cstdlib>

#include "segment/characters.h"

namespace morvik {

namespace {

// Per column of a box: the ink pixels and the rows of the first and last one.
struct Column {
  int Ink = 0, First = -1, Last = -1;
};

std::vector<Column> Columns(const BinaryImage& image, const Rect& r) {
  std::vector<Column> cols(static_cast<std::size_t>(r.Width));
  for (int y = r.Top; y < r.Bottom(); ++y)
    for (int x = r.Left; x < r.Right(); ++x)
      if (image.At(x, y)) {
        Column& c = cols[x - r.Left];
        if (c.Ink++ == 0) c.First = y - r.Top;
        c.Last = y - r.Top;
      }
  return cols;
}

// Where two characters touch, the column holds a short stretch of ink away from the top and
// bottom fifths of the height; the V of an M, the apex of a W and the arches of an m reach nearer
// the baseline or the top instead.
bool Contact(const Column& c, int height) {
  if (c.Ink == 0) return true;
  return 20 * c.Ink <= 9 * height && 5 * c.First >= height && 5 * c.Last <= 4 * height;
}

// The piece's ink box; an empty rectangle when it has no ink.
Rect Shrink(const BinaryImage& image, const Rect& r) {
  Rect out;
  for (int y = r.Top; y < r.Bottom(); ++y)
    for (int x = r.Left; x < r.Right(); ++x)
      if (image.At(x, y)) out = Union(out, Rect{x, y, 1, 1});
  return out;
}

// Cut columns (relative to the box's left) of a box expected to hold n characters.
std::vector<int> FindCuts(const std::vector<Column>& cols, int n, int pitch, int height) {
  std::vector<int> cuts;
  const int width = static_cast<int>(cols.size()), reach = std::max(1, pitch / 4);
  for (int k = 1; k < n; ++k) {
    const int expected = k * width / n;
    int best = -1;
    for (int x = std::max(1, expected - reach); x <= std::min(width - 2, expected + reach); ++x) {
      if (!Contact(cols[x], height)) continue;
      if (best < 0 || cols[x].Ink < cols[best].Ink ||
          (cols[x].Ink == cols[best].Ink && std::abs(x - expected) < std::abs(best - expected)))
        best = x;
    }
    if (best > 0 && (cuts.empty() || best > cuts.back())) cuts.push_back(best);
  }
  return cuts;
}

// Every piece must hold a column of ink at least 0.6 of the height, as a stem or the side of a
// bowl does; the halves of a W, all slanted strokes, do not.
bool PiecesHaveStems(const std::vector<Column>& cols, const std::vector<int>& cuts, int height) {
  int start = 0;
  for (std::size_t i = 0; i <= cuts.size(); ++i) {
    const int end = i < cuts.size() ? cuts[i] : static_cast<int>(cols.size());
    int tallest = 0;
    for (int x = start; x < end; ++x) tallest = std::max(tallest, cols[x].Ink);
    if (5 * tallest < 3 * height) return false;
    start = end;
  }
  return true;
}

void SplitOne(const BinaryImage& image, const Rect& r, int pitch, std::vector<Rect>& out) {
  const int n = std::max(2, (r.Width + pitch / 2) / pitch);
  const std::vector<Column> cols = Columns(image, r);
  const std::vector<int> cuts = FindCuts(cols, n, pitch, r.Height);
  if (cuts.empty() || !PiecesHaveStems(cols, cuts, r.Height)) {
    out.push_back(r);
    return;
  }
  int left = r.Left;
  for (std::size_t i = 0; i <= cuts.size(); ++i) {
    const int right = i < cuts.size() ? r.Left + cuts[i] : r.Right();
    const Rect piece = Shrink(image, Rect{left, r.Top, right - left, r.Height});
    if (piece.Width > 0) out.push_back(piece);
    left = right;
  }
}

}  // namespace

std::vector<Rect> SplitTouching(const BinaryImage& image, const std::vector<Rect>& chars,
                                int lineHeight) {
  // A line of one or two characters has no median to speak of: capitals and figures are
  // rarely wider than 0.75 of the line height.
  const int pitch = std::min(MedianCharWidth(chars, lineHeight), (3 * lineHeight + 3) / 4);
  std::vector<Rect> out;
  for (const Rect& r : chars) {
    const bool wide = pitch > 0 && 5 * r.Width >= 8 * pitch && 10 * r.Width >= 9 * r.Height;
    if (wide) {
      SplitOne(image, r, pitch, out);
    } else {
      out.push_back(r);
    }
  }
  return out;
}

}  // namespace morvik
