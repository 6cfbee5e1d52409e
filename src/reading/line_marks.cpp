#include "reading/line_marks.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/median.h"
#include "reading/character_height.h"

namespace morvik {

namespace {

int Baseline(const std::vector<CharBox>& chars) {
  std::vector<int> bottoms;
  for (const CharBox& c : chars)
    if (!c.Empty) bottoms.push_back(c.Top + c.Height);
  return bottoms.empty() ? 0 : UpperMedian(bottoms);
}

void PreferStop(ReadCharacter& c, int cap, int baseline) {
  const CharBox& b = c.Box;
  if (c.Blank || c.Rejected || 4 * b.Height > cap || 4 * b.Width > cap) return;
  if (std::abs(b.Top + b.Height - baseline) > std::max(1, cap / 8)) return;
  const auto stop = std::find_if(c.Best.begin(), c.Best.end(),
                                 [](const LibraryMatch& m) { return m.Char == '.'; });
  if (stop != c.Best.end()) std::rotate(c.Best.begin(), stop, stop + 1);
}

}  // namespace

void ApplyLineMarks(PictureReading& reading) {
  std::size_t first = 0;
  while (first < reading.Chars.size()) {
    std::size_t end = first;
    std::vector<CharBox> boxes;
    while (end < reading.Chars.size() && reading.Chars[end].Line == reading.Chars[first].Line)
      boxes.push_back(reading.Chars[end++].Box);
    const int cap = LineCapHeight(boxes), baseline = Baseline(boxes);
    if (cap > 0)
      for (std::size_t k = first; k < end; ++k) PreferStop(reading.Chars[k], cap, baseline);
    first = end;
  }
}

}  // namespace morvik
