#include "segment/characters.h"

#include <algorithm>

namespace morvik {

namespace {

// Columns shared by at least half the narrower box, and either stacked (sharing at most half
// the lower box's rows: a dot over its stem, the dots of a colon) or one less than 0.6 times as
// high as the other (the rings of a percent sign by its slash). Two full-height neighbours
// pulled together by kerning ("TA", "KT") share their rows and stay apart.
bool SameCharacter(const Rect& a, const Rect& b) {
  const int columns = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
  if (columns <= 0 || 2 * columns < std::min(a.Width, b.Width)) return false;
  const int rows = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
  const int lower = std::min(a.Height, b.Height), higher = std::max(a.Height, b.Height);
  return 2 * rows <= lower || 5 * lower < 3 * higher;
}

// One sweep; true when it merged anything. Boxes come by their left edges, so a part of a
// character is found among the last few boxes.
bool MergeOnce(std::vector<Rect>& boxes) {
  std::sort(boxes.begin(), boxes.end(),
            [](const Rect& a, const Rect& b) { return a.Left < b.Left; });
  std::vector<Rect> out;
  bool merged = false;
  for (const Rect& r : boxes) {
    const auto from = out.rbegin(), to = out.size() > 4 ? out.rbegin() + 4 : out.rend();
    const auto into = std::find_if(from, to, [&](const Rect& o) { return SameCharacter(o, r); });
    if (into == to) {
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
                               return 12 * r.Height < lineHeight && 12 * r.Width < lineHeight;
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
