#include "segment/split.h"

#include <algorithm>
#include <cstdlib>

#include "segment/characters.h"

namespace morvik {

namespace {

std::vector<int> ColumnInk(const BinaryImage& image, const Rect& r) {
  std::vector<int> ink(static_cast<std::size_t>(r.Width), 0);
  for (int y = r.Top; y < r.Bottom(); ++y)
    for (int x = r.Left; x < r.Right(); ++x) ink[x - r.Left] += image.At(x, y);
  return ink;
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
std::vector<int> FindCuts(const std::vector<int>& ink, int n, int pitch, int height) {
  std::vector<int> cuts;
  const int width = static_cast<int>(ink.size()), reach = std::max(1, pitch / 4);
  for (int k = 1; k < n; ++k) {
    const int expected = k * width / n;
    int best = -1;
    for (int x = std::max(1, expected - reach); x <= std::min(width - 2, expected + reach); ++x)
      if (best < 0 || ink[x] < ink[best] ||
          (ink[x] == ink[best] && std::abs(x - expected) < std::abs(best - expected)))
        best = x;
    if (best > 0 && 20 * ink[best] <= 3 * height && (cuts.empty() || best > cuts.back()))
      cuts.push_back(best);
  }
  return cuts;
}

void SplitOne(const BinaryImage& image, const Rect& r, int pitch, std::vector<Rect>& out) {
  const int n = std::max(2, (r.Width + pitch / 2) / pitch);
  const std::vector<int> cuts = FindCuts(ColumnInk(image, r), n, pitch, r.Height);
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
  const int pitch = MedianCharWidth(chars, lineHeight);
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
