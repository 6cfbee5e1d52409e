#include "segment/segmentation.h"

#include <algorithm>

namespace morvik {

Rect Union(const Rect& a, const Rect& b) {
  if (a.Width <= 0 || a.Height <= 0) return b;
  if (b.Width <= 0 || b.Height <= 0) return a;
  const int left = std::min(a.Left, b.Left), top = std::min(a.Top, b.Top);
  const int right = std::max(a.Right(), b.Right()), bottom = std::max(a.Bottom(), b.Bottom());
  return {left, top, right - left, bottom - top};
}

std::size_t CharacterCount(const Segmentation& s) {
  std::size_t n = 0;
  for (const TextLine& l : s.Lines)
    for (const CharBox& c : l.Chars) n += !c.Empty;
  return n;
}

}  // namespace morvik
