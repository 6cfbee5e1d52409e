#include "segment/components.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/x86_dispatch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

// The first x from `x` on (up to `end`) whose byte is (`ink`) or is not (!`ink`) zero: sixteen
// bytes a step, the first that differs found from the bits of a compare; then eight at a time,
// then one by one near the row's end.
int NextChange(const std::uint8_t* row, int x, int end, bool ink) {
#if defined(__SSE2__)
  const unsigned flip = ink ? 0xFFFFu : 0u;  // the bits of the bytes sought
  for (; x + 16 <= end; x += 16) {
    const unsigned ground = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), _mm_setzero_si128())));
    if (const unsigned sought = (ground ^ flip) & 0xFFFFu; sought != 0)
      return x + __builtin_ctz(sought);
  }
#endif
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

// Where the search for a row's first ink starts: past the leading steps of thirty-two pixels
// of ground, each passed over on one test where the processor has AVX2.
#ifdef MORVIK_X86_DISPATCH
__attribute__((target("avx2"))) int Avx2PastGround(const std::uint8_t* row, int width) {
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
    if (!_mm256_testz_si256(v, v)) break;
  }
  return x;
}

int PastGround(const std::uint8_t* row, int width) {
  static const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
  return avx2 ? Avx2PastGround(row, width) : 0;
}
#else
int PastGround(const std::uint8_t*, int) {
  return 0;
}
#endif

// Union(box, the run x0 .. x1 - 1 of row y), written out here: it runs once for every run of
// ink, where a call costs as much as the work.
void AddRun(Rect& box, int x0, int x1, int y) {
  if (box.Width <= 0 || box.Height <= 0) {
    box = Rect{x0, y, x1 - x0, 1};
    return;
  }
  const int left = std::min(box.Left, x0), top = std::min(box.Top, y);
  const int right = std::max(box.Right(), x1), bottom = std::max(box.Bottom(), y + 1);
  box = Rect{left, top, right - left, bottom - top};
}

// A run of ink X0 .. X1 - 1 in a row, with the label of its component.
struct InkRun {
  int X0, X1;
  std::uint32_t Label;
};

// A component while it is being found, and where its first pixel lies.
struct Growing {
  Component Found;
  int FirstX = 0, FirstY = 0;
};

// Components found row by row, holding only the runs of two rows and the components those
// touch: memory grows with the picture's width, not with its runs (a checkerboard has one
// per two pixels). Labels are recycled once their component is finished or merged.
class Labeller {
 public:
  // Calls finished(growing) once per component, when the row below it holds none of it.
  template <typename Finished>
  void Label(const BinaryImage& image, Finished finished) {
    for (int y = 0; y <= image.Height; ++y) {
      current_.clear();
      if (y < image.Height) AddRow(image, y);
      FinishRow(y, finished);
      previous_.swap(current_);
    }
  }

 private:
  std::uint32_t Find(std::uint32_t i) {
    while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
    return i;
  }

  std::uint32_t NewLabel(int x, int y) {
    std::uint32_t l;
    if (free_.empty()) {
      l = static_cast<std::uint32_t>(parent_.size());
      parent_.push_back(l);
      growing_.emplace_back();
      seen_.push_back(-1);
    } else {
      l = free_.back();
      free_.pop_back();
      parent_[l] = l;
      growing_[l] = Growing{};
    }
    growing_[l].FirstX = x, growing_[l].FirstY = y;
    seen_[l] = y;
    return l;
  }

  // Joins the components of a and b (roots); the one whose first pixel comes first stays.
  std::uint32_t Join(std::uint32_t a, std::uint32_t b) {
    if (a == b) return a;
    const Growing &ga = growing_[a], &gb = growing_[b];
    if (std::make_pair(gb.FirstY, gb.FirstX) < std::make_pair(ga.FirstY, ga.FirstX))
      std::swap(a, b);
    Growing& keep = growing_[a];
    keep.Found.Box = Union(keep.Found.Box, growing_[b].Found.Box);
    keep.Found.Area += growing_[b].Found.Area;
    parent_[b] = a;
    merged_.push_back(b);
    return a;
  }

  // The row's runs, each joined to the runs of the row above that touch it, diagonals
  // included.
  void AddRow(const BinaryImage& image, int y) {
    const std::uint8_t* row = image.Ink.data() + static_cast<std::size_t>(y) * image.Width;
    std::size_t p = 0;
    for (int x = NextChange(row, PastGround(row, image.Width), image.Width, true);
         x < image.Width;) {
      const int x0 = x;
      x = NextChange(row, x, image.Width, false);
      while (p < previous_.size() && previous_[p].X1 < x0) ++p;
      std::uint32_t label = UINT32_MAX;
      for (std::size_t q = p; q < previous_.size() && previous_[q].X0 <= x; ++q) {
        const std::uint32_t other = Find(previous_[q].Label);
        label = label == UINT32_MAX ? other : Join(label, other);
      }
      if (label == UINT32_MAX) label = NewLabel(x0, y);
      Component& c = growing_[label].Found;
      AddRun(c.Box, x0, x, y);
      c.Area += x - x0;
      current_.push_back({x0, x, label});
      x = NextChange(row, x, image.Width, true);
    }
  }

  // Components of the row above that the row did not continue are finished; labels merged
  // away are free once no run names them.
  template <typename Finished>
  void FinishRow(int y, Finished finished) {
    for (InkRun& r : current_) seen_[r.Label = Find(r.Label)] = y;
    for (const InkRun& r : previous_) {
      const std::uint32_t root = Find(r.Label);
      if (seen_[root] == y || seen_[root] == kDone) continue;
      seen_[root] = kDone;
      finished(growing_[root]);
      free_.push_back(root);
    }
    for (std::uint32_t l : merged_) free_.push_back(l), seen_[l] = kDone;
    merged_.clear();
  }

  static constexpr int kDone = -2;
  std::vector<InkRun> previous_, current_;
  std::vector<std::uint32_t> parent_, free_, merged_;
  std::vector<Growing> growing_;
  std::vector<int> seen_;  // per label: the last row holding it, or kDone
};

// Every component, in any order, to finished(growing).
template <typename Finished>
void Label(const BinaryImage& image, Finished finished) {
  Labeller().Label(image, finished);
}

}  // namespace

std::vector<Component> FindComponents(const BinaryImage& image) {
  std::vector<Growing> all;
  Label(image, [&](const Growing& g) { all.push_back(g); });
  std::sort(all.begin(), all.end(), [](const Growing& a, const Growing& b) {
    return a.FirstY != b.FirstY ? a.FirstY < b.FirstY : a.FirstX < b.FirstX;
  });
  std::vector<Component> out;
  out.reserve(all.size());
  for (const Growing& g : all) out.push_back(g.Found);
  return out;
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

namespace {

// Clears the 8-connected ink reached from (x, y): a finished component, whole.
void Erase(BinaryImage& image, int x, int y) {
  std::vector<std::pair<int, int>> stack{{x, y}};
  image.Ink[static_cast<std::size_t>(y) * image.Width + x] = 0;
  while (!stack.empty()) {
    const auto [px, py] = stack.back();
    stack.pop_back();
    for (int ny = std::max(0, py - 1); ny <= std::min(image.Height - 1, py + 1); ++ny)
      for (int nx = std::max(0, px - 1); nx <= std::min(image.Width - 1, px + 1); ++nx) {
        std::uint8_t& ink = image.Ink[static_cast<std::size_t>(ny) * image.Width + nx];
        if (ink) ink = 0, stack.push_back({nx, ny});
      }
  }
}

}  // namespace

BinaryImage RemoveDust(const BinaryImage& image, int typicalHeight) {
  // A component is erased as it is finished: dust is small, so is the erasing.
  BinaryImage out = image;
  Label(image, [&](const Growing& g) {
    if (IsDust(g.Found, typicalHeight)) Erase(out, g.FirstX, g.FirstY);
  });
  return out;
}

}  // namespace morvik
