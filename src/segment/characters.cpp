#include "segment/characters.h"

#include <algorithm>

namespace morvik {

namespace {

bool SameCharacter(const Rect& a, const Rect& b) {
  const int overlap = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
  return overlap > 0 && 2 * overlap >= std::min(a.Width, b.Width);
}

// One sweep; true when it merged anything.
bool MergeOnce(std::vector<Rect>& boxes) {
  std::sort(boxes.begin(), boxes.end(),
            [](const Rect& a, const Rect& b) { return a.Left < b.Left; });
  std::vector<Rect> out;
  bool merged = false;
  for (const Rect& r : boxes) {
    auto into =
        std::find_if(out.rbegin(), out.rend(), [&](const Rect& o) { return SameCharacter(o, r); });
    if (into == out.rend()) {
      out.push_back(r);
    } else {
      *into = Union(*into, r);
      merged = true;
    }
  }
  boxes.swap(out);
  return merged;
}

}  // namespace

std::vector<Rect> MergeIntoCharacters(std::vector<Rect> parts, int lineHeight) {
  while (MergeOnce(parts)) {
  }
  parts.erase(std::remove_if(parts.begin(), parts.end(),
                             [&](const Rect& r) {
                               return 8 * r.Height < lineHeight && 8 * r.Width < lineHeight;
                             }),
              parts.end());
  return parts;
}

int MedianCharWidth(const std::vector<Rect>& chars, int lineHeight) {
  std::vector<int> widths;
  for (const Rect& r : chars)
    if (2 * r.Height >= lineHeight) widths.push_back(r.Width);
  if (widths.empty()) return 0;
  std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
  return widths[widths.size() / 2];
}

}  // namespace morvik
