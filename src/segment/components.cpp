#include "segment/components.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace morvik {

namespace {

struct Run {
  int Y, X0, X1;  // columns X0 .. X1 - 1 of row Y
};

struct Labelled {
  std::vector<Run> Runs;
  std::vector<int> Root;  // per run, the index of its component's first run
};

int Find(std::vector<int>& parent, int i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

void Join(std::vector<int>& parent, int a, int b) {
  a = Find(parent, a), b = Find(parent, b);
  if (a != b) parent[std::max(a, b)] = std::min(a, b);
}

// The first x from `x` on (up to `end`) whose byte is (`ink`) or is not (!`ink`) zero. Ink is
// 0 or 1, so eight bytes at a time are all background when their word is 0 and all ink when
// it is 0x0101010101010101: most of a row is skipped a word at a time.
int NextChange(const std::uint8_t* row, int x, int end, bool ink) {
  constexpr std::uint64_t kAllInk = 0x0101010101010101ULL;
  const std::uint64_t same = ink ? 0 : kAllInk;
  for (; x + 8 <= end; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, row + x, sizeof word);
    if (word != same) break;
  }
  while (x < end && (row[x] != 0) != ink) ++x;
  return x;
}

void AddRowRuns(const BinaryImage& image, int y, std::vector<Run>& runs) {
  const std::uint8_t* row = image.Ink.data() + static_cast<std::size_t>(y) * image.Width;
  for (int x = NextChange(row, 0, image.Width, true); x < image.Width;) {
    const int start = x;
    x = NextChange(row, x, image.Width, false);
    runs.push_back({y, start, x});
    x = NextChange(row, x, image.Width, true);
  }
}

// Runs of neighbouring rows belong together when they touch, diagonals included.
Labelled Label(const BinaryImage& image) {
  Labelled l;
  std::vector<int> parent;
  std::size_t previousBegin = 0, previousEnd = 0;
  for (int y = 0; y < image.Height; ++y) {
    const std::size_t begin = l.Runs.size();
    AddRowRuns(image, y, l.Runs);
    for (std::size_t i = begin; i < l.Runs.size(); ++i) parent.push_back(static_cast<int>(i));
    std::size_t p = previousBegin;
    for (std::size_t i = begin; i < l.Runs.size(); ++i) {
      const Run& r = l.Runs[i];
      while (p < previousEnd && l.Runs[p].X1 < r.X0) ++p;
      for (std::size_t q = p; q < previousEnd && l.Runs[q].X0 <= r.X1; ++q)
        Join(parent, static_cast<int>(i), static_cast<int>(q));
    }
    previousBegin = begin, previousEnd = l.Runs.size();
  }
  l.Root.resize(l.Runs.size());
  for (std::size_t i = 0; i < l.Runs.size(); ++i) l.Root[i] = Find(parent, static_cast<int>(i));
  return l;
}

std::vector<Component> Collect(const Labelled& l, std::vector<int>& indexOfRun) {
  std::vector<Component> out;
  std::vector<int> indexOfRoot(l.Runs.size(), -1);
  indexOfRun.assign(l.Runs.size(), -1);
  for (std::size_t i = 0; i < l.Runs.size(); ++i) {
    int& index = indexOfRoot[l.Root[i]];
    if (index < 0) index = static_cast<int>(out.size()), out.emplace_back();
    const Run& r = l.Runs[i];
    Component& c = out[index];
    c.Box = Union(c.Box, Rect{r.X0, r.Y, r.X1 - r.X0, 1});
    c.Area += r.X1 - r.X0;
    indexOfRun[i] = index;
  }
  return out;
}

}  // namespace

std::vector<Component> FindComponents(const BinaryImage& image) {
  std::vector<int> indexOfRun;
  return Collect(Label(image), indexOfRun);
}

int TypicalHeight(const std::vector<Component>& components) {
  int tallest = 0;
  for (const Component& c : components) tallest = std::max(tallest, c.Box.Height);
  std::vector<int> heights;
  for (const Component& c : components)
    if (4 * c.Box.Height >= tallest) heights.push_back(c.Box.Height);
  if (heights.empty()) return 0;
  std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
  return heights[heights.size() / 2];
}

bool IsDust(const Component& component, int typicalHeight) {
  return component.Area < 3 ||
         144 * component.Area < static_cast<long long>(typicalHeight) * typicalHeight;
}

BinaryImage RemoveDust(const BinaryImage& image, int typicalHeight) {
  const Labelled l = Label(image);
  std::vector<int> indexOfRun;
  const std::vector<Component> components = Collect(l, indexOfRun);
  BinaryImage out = image;
  for (std::size_t i = 0; i < l.Runs.size(); ++i) {
    if (!IsDust(components[indexOfRun[i]], typicalHeight)) continue;
    const Run& r = l.Runs[i];
    std::fill_n(out.Ink.begin() + static_cast<std::ptrdiff_t>(r.Y) * image.Width + r.X0,
                r.X1 - r.X0, 0);
  }
  return out;
}

}  // namespace morvik
