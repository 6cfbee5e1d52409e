#include "segment/noise.h"

#include <algorithm>

namespace morvik {

namespace {

// The runs of ink along one row (step 1) or one column (step = the image's width).
long long Runs(const BinaryImage& ink, std::size_t start, std::size_t step, int count) {
  long long runs = 0;
  bool inside = false;
  for (int i = 0; i < count; ++i, start += step) {
    const bool on = ink.Ink[start] != 0;
    runs += on && !inside;
    inside = on;
  }
  return runs;
}

}  // namespace

bool IsTexture(const BinaryImage& ink, const Rect& box) {
  const int left = std::clamp(box.Left, 0, ink.Width), top = std::clamp(box.Top, 0, ink.Height);
  const int right = std::clamp(box.Right(), left, ink.Width);
  const int bottom = std::clamp(box.Bottom(), top, ink.Height);
  const int width = right - left, height = bottom - top;
  if (width == 0 || height == 0) return false;
  const auto at = [&](int x, int y) { return static_cast<std::size_t>(y) * ink.Width + x; };
  long long across = 0, down = 0;
  for (int y = top; y < bottom; ++y) across += Runs(ink, at(left, y), 1, width);
  for (int x = left; x < right; ++x)
    down += Runs(ink, at(x, top), static_cast<std::size_t>(ink.Width), height);
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
