#include "segment/components.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/error.h"

namespace morvik {

namespace {

// Columns X0 .. Last of one row; a picture is at most kMaxPictureSide (32768) wide, so 16
// bits hold a column and a run takes 4 bytes. The row is known from the row's range of runs.
struct Run {
  std::uint16_t X0, Last;
};

// The runs row by row, and per run, once labelled, the index of its component (components
// numbered in the order of their first pixel). 8 bytes a run and no copies: a picture of
// nothing but one-pixel runs (a checkerboard) needs 4 bytes a pixel.
struct Labelled {
  std::vector<Run> Runs;
  std::vector<std::uint32_t> RowStart;  // runs of row y: RowStart[y] .. RowStart[y + 1] - 1
  std::vector<std::uint32_t> Label;
  std::size_t Components = 0;
};

// Union-find over run indices where a parent never exceeds its child (a join hangs the later
// root under the earlier), so that one pass in index order can relabel in place.
std::uint32_t Find(std::vector<std::uint32_t>& parent, std::uint32_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

void Join(std::vector<std::uint32_t>& parent, std::uint32_t a, std::uint32_t b) {
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

// Calls add(x0, x1) for each run of row y, left to right.
template <typename Add>
void ForRowRuns(const BinaryImage& image, int y, Add add) {
  const std::uint8_t* row = image.Ink.data() + static_cast<std::size_t>(y) * image.Width;
  for (int x = NextChange(row, 0, image.Width, true); x < image.Width;) {
    const int start = x;
    x = NextChange(row, x, image.Width, false);
    add(start, x);
    x = NextChange(row, x, image.Width, true);
  }
}

// The runs, counted first so that they are held once, at their exact size.
void FindRuns(const BinaryImage& image, Labelled& l) {
  if (image.Width > 65536) throw Error("the picture is too wide to cut", ErrorKind::kTooLarge);
  std::size_t count = 0;
  for (int y = 0; y < image.Height; ++y) ForRowRuns(image, y, [&](int, int) { ++count; });
  l.Runs.reserve(count);
  l.RowStart.reserve(static_cast<std::size_t>(image.Height) + 1);
  for (int y = 0; y < image.Height; ++y) {
    l.RowStart.push_back(static_cast<std::uint32_t>(l.Runs.size()));
    ForRowRuns(image, y, [&](int x0, int x1) {
      l.Runs.push_back({static_cast<std::uint16_t>(x0), static_cast<std::uint16_t>(x1 - 1)});
    });
  }
  l.RowStart.push_back(static_cast<std::uint32_t>(l.Runs.size()));
}

// Runs of neighbouring rows belong together when they touch, diagonals included.
Labelled Label(const BinaryImage& image) {
  Labelled l;
  FindRuns(image, l);
  std::vector<std::uint32_t>& parent = l.Label;
  parent.resize(l.Runs.size());
  for (std::uint32_t i = 0; i < parent.size(); ++i) parent[i] = i;
  for (std::size_t y = 1; y + 1 < l.RowStart.size(); ++y) {
    std::uint32_t p = l.RowStart[y - 1];
    const std::uint32_t previousEnd = l.RowStart[y];
    for (std::uint32_t i = l.RowStart[y]; i < l.RowStart[y + 1]; ++i) {
      const Run& r = l.Runs[i];
      while (p < previousEnd && l.Runs[p].Last + 1 < r.X0) ++p;
      for (std::uint32_t q = p; q < previousEnd && l.Runs[q].X0 <= r.Last + 1; ++q)
        Join(parent, i, q);
    }
  }
  // In index order a run's parent is already relabelled: a root takes the next component
  // number, any other run its parent's.
  for (std::uint32_t i = 0; i < parent.size(); ++i)
    parent[i] = parent[i] == i ? static_cast<std::uint32_t>(l.Components++) : parent[parent[i]];
  return l;
}

// Calls visit(run, y) for every run in order.
template <typename Visit>
void ForRuns(const Labelled& l, Visit visit) {
  for (std::size_t y = 0; y + 1 < l.RowStart.size(); ++y)
    for (std::uint32_t i = l.RowStart[y]; i < l.RowStart[y + 1]; ++i) visit(i, static_cast<int>(y));
}

std::vector<Component> Collect(const Labelled& l) {
  std::vector<Component> out(l.Components);
  ForRuns(l, [&](std::uint32_t i, int y) {
    const Run& r = l.Runs[i];
    Component& c = out[l.Label[i]];
    c.Box = Union(c.Box, Rect{r.X0, y, r.Last + 1 - r.X0, 1});
    c.Area += r.Last + 1 - r.X0;
  });
  return out;
}

}  // namespace

std::vector<Component> FindComponents(const BinaryImage& image) {
  return Collect(Label(image));
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
  const std::vector<Component> components = Collect(l);
  BinaryImage out = image;
  ForRuns(l, [&](std::uint32_t i, int y) {
    if (!IsDust(components[l.Label[i]], typicalHeight)) return;
    const Run& r = l.Runs[i];
    std::fill_n(out.Ink.begin() + static_cast<std::ptrdiff_t>(y) * image.Width + r.X0,
                r.Last + 1 - r.X0, 0);
  });
  return out;
}

}  // namespace morvik
