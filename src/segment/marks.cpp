#include "segment/marks.h"

#include <algorithm>
#include <cstdlib>

#include "core/median.h"

namespace morvik {

namespace {

// The dot of an i or j over the part.
bool DotOver(const Rect& mark, const Rect& part, int typicalHeight) {
  const int middle = mark.Left + mark.Width / 2;
  return middle >= part.Left && middle < part.Right() && part.Width <= typicalHeight &&
         5 * part.Height <= 6 * typicalHeight && mark.Bottom() <= part.Top &&
         2 * (part.Top - mark.Bottom()) <= typicalHeight;
}

// A full stop after the part, on its bottom or on the line's baseline (after a g or y,
// whose bottom is its descender's).
bool StopAfter(const Rect& mark, const Rect& part, int baseline, int typicalHeight) {
  const int slack = std::max(1, typicalHeight / 8);
  return mark.Left >= part.Right() && mark.Left - part.Right() < typicalHeight &&
         (std::abs(mark.Bottom() - part.Bottom()) <= slack ||
          std::abs(mark.Bottom() - baseline) <= slack);
}

// The median bottom of the line's parts.
int BaselineOf(const LineParts& line) {
  std::vector<int> bottoms;
  for (const Rect& r : line.Parts) bottoms.push_back(r.Bottom());
  return bottoms.empty() ? line.Box.Bottom() : UpperMedian(bottoms);
}

void Add(LineParts& line, const Rect& mark) {
  const auto at = std::upper_bound(line.Parts.begin(), line.Parts.end(), mark.Left,
                                   [](int x, const Rect& r) { return x < r.Left; });
  line.Parts.insert(at, mark);
  line.Box = Union(line.Box, mark);
}

// Whether the mark belongs to the line (parts sorted by their left edges); adds it if so.
bool PutBack(LineParts& line, const Rect& mark, int baseline, int typicalHeight) {
  const int middle = mark.Left + mark.Width / 2;
  // The parts that could hold the mark: those starting left of its middle, nearest first.
  auto end = std::upper_bound(line.Parts.begin(), line.Parts.end(), middle,
                              [](int x, const Rect& r) { return x < r.Left; });
  bool over = false;
  for (auto it = end; it != line.Parts.begin() && !over;) {
    --it;
    if (it->Right() <= middle - typicalHeight) break;
    if (DotOver(mark, *it, typicalHeight)) {
      Add(line, mark);
      return true;
    }
    over = middle >= it->Left && middle < it->Right();
  }
  if (over || end == line.Parts.begin()) return false;
  // The nearest part ending left of the mark.
  const Rect* left = nullptr;
  for (auto it = end; it != line.Parts.begin();) {
    --it;
    if (it->Right() <= mark.Left && (left == nullptr || it->Right() > left->Right())) left = &*it;
    if (it->Right() <= mark.Left - typicalHeight) break;
  }
  if (left == nullptr || !StopAfter(mark, *left, baseline, typicalHeight)) return false;
  Add(line, mark);
  return true;
}

}  // namespace

void PutBackMarks(std::vector<LineParts>& lines, std::vector<Component> dust, int typicalHeight) {
  if (dust.empty() || typicalHeight <= 0) return;
  std::sort(dust.begin(), dust.end(),
            [](const Component& a, const Component& b) { return a.Box.Top < b.Box.Top; });
  std::vector<bool> used(dust.size(), false);
  for (LineParts& line : lines) {
    std::sort(line.Parts.begin(), line.Parts.end(),
              [](const Rect& a, const Rect& b) { return a.Left < b.Left; });
    const Rect band = line.Box;
    const int baseline = BaselineOf(line);
    auto from = std::lower_bound(dust.begin(), dust.end(), band.Top - typicalHeight,
                                 [](const Component& c, int top) { return c.Box.Top < top; });
    for (auto it = from; it != dust.end() && it->Box.Top < band.Bottom(); ++it) {
      const std::size_t k = static_cast<std::size_t>(it - dust.begin());
      if (used[k] || it->Box.Right() <= band.Left - typicalHeight ||
          it->Box.Left >= band.Right() + typicalHeight)
        continue;
      used[k] = PutBack(line, it->Box, baseline, typicalHeight);
    }
  }
}

}  // namespace morvik
