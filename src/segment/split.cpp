#include "segment/split.h"

#include <algorithm>
#include <cstdlib>

#include "segment/characters.h"
#include "segment/grid.h"

namespace morvik {

namespace {

// Where two characters touch (a bar or a serif meeting its neighbour), the column holds
// little ink: at most 0.15 of the height. Round characters pressed together share more, but
// so do the V of an M, the apex of a W and the arches of an m, which must stay whole; on
// rendered text of nine typefaces admitting thicker contacts cost more than it gained.
bool Contact(const InkColumn& c, int height) {
  return 20 * c.Ink <= 3 * height;
}

// The column with the least ink that passes the contact test, within reach of expected.
int BestCut(const std::vector<InkColumn>& cols, int expected, int reach, int height) {
  const int width = static_cast<int>(cols.size());
  int best = -1;
  for (int x = std::max(1, expected - reach); x <= std::min(width - 2, expected + reach); ++x) {
    if (!Contact(cols[x], height)) continue;
    if (best < 0 || cols[x].Ink < cols[best].Ink ||
        (cols[x].Ink == cols[best].Ink && std::abs(x - expected) < std::abs(best - expected)))
      best = x;
  }
  return best;
}

// Cut columns (relative to the box's left) of a box expected to hold n characters.
std::vector<int> FindCuts(const std::vector<InkColumn>& cols, int n, int pitch, int height) {
  std::vector<int> cuts;
  const int width = static_cast<int>(cols.size());
  for (int k = 1; k < n; ++k) {
    const int best = BestCut(cols, k * width / n, std::max(1, pitch / 4), height);
    if (best <= 0 || (!cuts.empty() && best <= cuts.back())) continue;
    cuts.push_back(best);
  }
  return cuts;
}

void SplitOne(const BinaryImage& image, const Rect& r, int pitch, std::vector<Rect>& out) {
  const int n = std::max(2, (r.Width + pitch / 2) / pitch);
  const std::vector<int> cuts = FindCuts(InkColumns(image, r), n, pitch, r.Height);
  int left = r.Left;
  for (std::size_t i = 0; i <= cuts.size(); ++i) {
    const int right = i < cuts.size() ? r.Left + cuts[i] : r.Right();
    const Rect piece = InkBox(image, Rect{left, r.Top, right - left, r.Height});
    if (piece.Width > 0) out.push_back(piece);
    left = right;
  }
}

}  // namespace

std::vector<InkColumn> InkColumns(const BinaryImage& image, const Rect& r) {
  std::vector<InkColumn> cols(static_cast<std::size_t>(r.Width));
  for (int y = r.Top; y < r.Bottom(); ++y)
    for (int x = r.Left; x < r.Right(); ++x)
      if (image.At(x, y)) {
        InkColumn& c = cols[static_cast<std::size_t>(x - r.Left)];
        if (c.Ink++ == 0) c.First = y - r.Top;
        c.Last = y - r.Top;
      }
  return cols;
}

std::vector<Rect> SplitTouching(const BinaryImage& image, const std::vector<Rect>& chars,
                                int lineHeight) {
  // A line of one or two characters has no median to speak of: capitals and figures are
  // rarely wider than 0.75 of the line height.
  int pitch = MedianCharWidth(chars, lineHeight);
  if (chars.size() < 3) pitch = std::min(pitch, (3 * lineHeight + 3) / 4);
  std::vector<Rect> out;
  for (const Rect& r : chars) {
    const bool wide = pitch > 0 && 5 * r.Width >= 8 * pitch && 10 * r.Width >= 9 * lineHeight;
    if (wide) {
      SplitOne(image, r, pitch, out);
    } else {
      out.push_back(r);
    }
  }
  return out;
}

}  // namespace morvik
