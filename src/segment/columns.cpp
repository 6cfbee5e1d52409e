#include "segment/columns.h"

#include <algorithm>

namespace morvik {

namespace {

bool CharacterSized(const Component& c, int typicalHeight) {
  return 3 * c.Box.Height >= typicalHeight;
}

// The middles of the gutters, left to right.
std::vector<int> Gutters(const std::vector<Component>& components, int typicalHeight) {
  int left = -1, right = -1;
  for (const Component& c : components)
    if (CharacterSized(c, typicalHeight)) {
      left = left < 0 ? c.Box.Left : std::min(left, c.Box.Left);
      right = std::max(right, c.Box.Right());
    }
  std::vector<int> middles;
  if (left < 0 || typicalHeight <= 0) return middles;
  std::vector<int> cover(static_cast<std::size_t>(right - left) + 1, 0);
  for (const Component& c : components)
    if (CharacterSized(c, typicalHeight))
      ++cover[static_cast<std::size_t>(c.Box.Left - left)],
          --cover[static_cast<std::size_t>(c.Box.Right() - left)];
  int depth = 0, empty = 0;
  for (int x = left; x < right; ++x) {
    depth += cover[static_cast<std::size_t>(x - left)];
    if (depth > 0) {
      if (empty >= 2 * typicalHeight) middles.push_back(x - empty / 2);
      empty = 0;
    } else {
      ++empty;
    }
  }
  return middles;
}

}  // namespace

std::vector<std::vector<Component>> SplitAtGutters(const std::vector<Component>& components,
                                                   int typicalHeight) {
  const std::vector<int> gutters = Gutters(components, typicalHeight);
  std::vector<std::vector<Component>> columns(gutters.size() + 1);
  for (const Component& c : components) {
    const int middle = c.Box.Left + c.Box.Width / 2;
    const auto k = std::upper_bound(gutters.begin(), gutters.end(), middle) - gutters.begin();
    columns[static_cast<std::size_t>(k)].push_back(c);
  }
  return columns;
}

namespace {

// The extent of the line's character-sized parts: specks of noise and dots the line took in
// lie anywhere.
Rect LetterExtent(const LineParts& line, int typicalHeight) {
  Rect r;
  for (const Rect& p : line.Parts)
    if (3 * p.Height >= typicalHeight) r = Union(r, p);
  return r;
}

}  // namespace

bool IsTextColumn(const std::vector<LineParts>& lines, int typicalHeight) {
  if (lines.size() < 3) return false;
  std::vector<Rect> extents;
  Rect all;
  for (const LineParts& l : lines) {
    extents.push_back(LetterExtent(l, typicalHeight));
    all = Union(all, extents.back());
  }
  if (all.Width < 12 * typicalHeight) return false;
  std::size_t full = 0;
  for (const Rect& e : extents)
    full += e.Width > 0 && e.Left - all.Left <= typicalHeight &&
            all.Right() - e.Right() <= 2 * typicalHeight;
  return 5 * full >= 3 * lines.size();
}

std::vector<LineParts> LinesInReadingOrder(const std::vector<Component>& components,
                                           int imageHeight, int typicalHeight) {
  const std::vector<std::vector<Component>> columns = SplitAtGutters(components, typicalHeight);
  if (columns.size() > 1) {
    std::vector<LineParts> ordered;
    bool text = true;
    for (const std::vector<Component>& column : columns) {
      std::vector<LineParts> lines = FindLines(column, imageHeight, typicalHeight);
      text = text && IsTextColumn(lines, typicalHeight);
      if (!text) break;
      for (LineParts& l : lines) ordered.push_back(std::move(l));
    }
    if (text) return ordered;
  }
  return FindLines(components, imageHeight, typicalHeight);
}

}  // namespace morvik
