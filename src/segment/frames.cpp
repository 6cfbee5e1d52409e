#include "segment/frames.h"

#include <algorithm>

namespace morvik {

namespace {

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.Left > outer.Left && inner.Top > outer.Top && inner.Right() < outer.Right() &&
         inner.Bottom() < outer.Bottom();
}

bool Hollow(const Component& c) {
  const Rect& b = c.Box;
  return b.Width >= 16 && b.Height >= 16 && 8 * c.Area < static_cast<long long>(b.Width) * b.Height;
}

// A picture of noise holds thousands of hollow tangles; past this many candidates the
// picture is no dialog and nothing is taken for a frame (the noise filter judges it later).
constexpr std::size_t kMostFrameCandidates = 64;

}  // namespace

bool IsFrame(const Component& c, const std::vector<Component>& all) {
  if (!Hollow(c)) return false;
  int inside = 0;
  for (const Component& o : all)
    if (Inside(o.Box, c.Box) && ++inside >= 2) return true;
  return false;
}

bool IsRule(const Component& c, int typicalHeight) {
  const long long length = std::max(c.Box.Width, c.Box.Height);
  // A button's side stands alone where the light corners of its outline fall below the
  // threshold; the tallest signs (| [ ] at small sizes) reach two character heights.
  const long long least =
      c.Box.Height > c.Box.Width ? 5LL * typicalHeight / 2 : 4LL * typicalHeight;
  // By the mean thickness, not the box: a frame's side ends in its rounded corners.
  return length >= least && 4 * c.Area <= length * std::max(4, typicalHeight);
}

bool IsDrawnLine(const Component& c) {
  const long long length = std::max(c.Box.Width, c.Box.Height);
  return length >= 32 && 20 * c.Area <= length * length;
}

void RemoveFrames(std::vector<Component>& components) {
  std::vector<std::size_t> candidates;
  std::vector<bool> frame(components.size(), false);
  for (std::size_t i = 0; i < components.size(); ++i) {
    frame[i] = IsDrawnLine(components[i]);
    if (!frame[i] && Hollow(components[i])) candidates.push_back(i);
  }
  if (candidates.size() <= kMostFrameCandidates)
    for (std::size_t i : candidates) frame[i] = IsFrame(components[i], components);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < components.size(); ++i)
    if (!frame[i]) components[kept++] = components[i];
  components.resize(kept);
}

void RemoveRules(std::vector<Component>& components, int typicalHeight) {
  if (typicalHeight <= 0) return;
  components.erase(std::remove_if(components.begin(), components.end(),
                                  [&](const Component& c) { return IsRule(c, typicalHeight); }),
                   components.end());
}

}  // namespace morvik
