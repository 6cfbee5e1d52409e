#include "segment/noise.h"

#include <algorithm>

namespace morvik {

namespace {

// Of the n pixels of a row from `row` on, how many are ink starting a run along the row (the
// first, or after ground) and how many start a run down their column (in the first row, or
// under ground: `above` is the row above, nullptr for the first). Added to across and down;
// each pixel alone, in a loop the compiler can take in vectors.
void AddRunStarts(const std::uint8_t* row, const std::uint8_t* above, int n, long long& across,
                  long long& down) {
  unsigned a = row[0] != 0, d = 0;
  for (int x = 1; x < n; ++x) a += (row[x] != 0) & (row[x - 1] == 0);
  if (above)
    for (int x = 0; x < n; ++x) d += (row[x] != 0) & (above[x] == 0);
  else
    for (int x = 0; x < n; ++x) d += row[x] != 0;
  across += a;
  down += d;
}

}  // namespace

bool IsTexture(const BinaryImage& ink, const Rect& box) {
  const int left = std::clamp(box.Left, 0, ink.Width), top = std::clamp(box.Top, 0, ink.Height);
  const int right = std::clamp(box.Right(), left, ink.Width);
  const int bottom = std::clamp(box.Bottom(), top, ink.Height);
  const int width = right - left, height = bottom - top;
  if (width == 0 || height == 0) return false;
  long long across = 0, down = 0;
  // Row by row, along memory: the runs down the columns are counted by where they start.
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* row = ink.Ink.data() + static_cast<std::size_t>(y) * ink.Width + left;
    AddRunStarts(row, y > top ? row - ink.Width : nullptr, width, across, down);
  }
  return across > static_cast<long long>(kNoiseCrossings) * height ||
         down > static_cast<long long>(kNoiseCrossings) * width;
}

bool IsLineOfDots(const std::vector<CharBox>& chars) {
  bool any = false;
  for (const CharBox& c : chars) {
    if (c.Empty) continue;
    if (c.Height >= kMinLineHeight) return false;
    any = true;
  }
  return any;
}

void RemoveNoise(Segmentation& s, const BinaryImage& ink, bool keepPlaces) {
  std::vector<TextLine> lines;
  for (TextLine& l : s.Lines) {
    const bool dots = IsLineOfDots(l.Chars);
    std::vector<CharBox> kept;
    bool space = false, anyInk = false;
    for (CharBox c : l.Chars) {
      const bool noise = !c.Empty && (dots || IsTexture(ink, {c.Left, c.Top, c.Width, c.Height}));
      if (noise && !keepPlaces) {
        space = space || c.SpaceBefore;
        continue;
      }
      c.Empty = c.Empty || noise;
      c.SpaceBefore = c.SpaceBefore || space;
      space = false;
      anyInk = anyInk || !c.Empty;
      kept.push_back(c);
    }
    // Every line of the text and table cuts holds ink; one whose ink was all noise goes.
    if (!anyInk && !keepPlaces) continue;
    l.Chars = std::move(kept);
    lines.push_back(std::move(l));
  }
  s.Lines = std::move(lines);
}

}  // namespace morvik
