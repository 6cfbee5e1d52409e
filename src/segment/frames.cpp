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

// How far a frame's rounded corner reaches (the part the threshold dropped); it grows with the
// frame.
int CornerReach(const Rect& side) {
  return std::max(4, side.Height / 6);
}

// Whether the drawn line `edge` turns the corner into the thin upright `side`: it ends just
// short of the side's column, just above its top or below its bottom. A letter under a rule
// stands under the rule's length, not beyond its end.
bool Closes(const Rect& edge, const Rect& side, bool top) {
  const int reach = CornerReach(side);
  const int gap = top ? side.Top - edge.Bottom() : edge.Top - side.Bottom();
  const bool left = side.Right() <= edge.Left + 1 && side.Right() >= edge.Left - reach;
  const bool right = side.Left >= edge.Right() - 1 && side.Left <= edge.Right() + reach;
  return gap >= -1 && gap <= reach && (left || right);
}

// A side of a frame whose corners the threshold dropped, too short to be a drawn line itself:
// a thin upright stroke (on average at most 3 pixels thick) closed at both ends by edges.
bool FrameSide(const Component& c, const std::vector<Rect>& edges) {
  const Rect& b = c.Box;
  if (4 * b.Width > b.Height || c.Area > 3LL * b.Height) return false;
  const auto closes = [&](bool top) {
    return std::any_of(edges.begin(), edges.end(),
                       [&](const Rect& e) { return Closes(e, b, top); });
  };
  return closes(true) && closes(false);
}

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

void RemoveFrames(std::vector<Component>& components, std::vector<Rect>* sides) {
  std::vector<std::size_t> candidates;
  std::vector<bool> frame(components.size(), false);
  for (std::size_t i = 0; i < components.size(); ++i) {
    frame[i] = IsDrawnLine(components[i]);
    if (!frame[i] && Hollow(components[i])) candidates.push_back(i);
  }
  if (candidates.size() <= kMostFrameCandidates)
    for (std::size_t i : candidates) frame[i] = IsFrame(components[i], components);
  std::vector<Rect> edges;
  for (std::size_t i = 0; i < components.size(); ++i)
    if (frame[i] && components[i].Box.Width > components[i].Box.Height)
      edges.push_back(components[i].Box);
  for (std::size_t i = 0; i < components.size() && !edges.empty(); ++i)
    frame[i] = frame[i] || FrameSide(components[i], edges);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < components.size(); ++i)
    if (!frame[i])
      components[kept++] = components[i];
    else if (sides && components[i].Box.Height > components[i].Box.Width && !Hollow(components[i]))
      sides->push_back(components[i].Box);
  components.resize(kept);
}

void RemoveFrameCorners(std::vector<Component>& components, const std::vector<Rect>& sides) {
  const auto corner = [&](const Component& d) {
    return std::any_of(sides.begin(), sides.end(), [&](const Rect& s) {
      const int reach = CornerReach(s);
      if (d.Box.Width > reach || d.Box.Height > reach) return false;
      const bool across = d.Box.Left <= s.Right() + reach && s.Left <= d.Box.Right() + reach;
      const bool above = d.Box.Bottom() <= s.Top + 1 && d.Box.Bottom() >= s.Top - reach;
      const bool below = d.Box.Top >= s.Bottom() - 1 && d.Box.Top <= s.Bottom() + reach;
      return across && (above || below);
    });
  };
  components.erase(std::remove_if(components.begin(), components.end(), corner), components.end());
}

void RemoveRules(std::vector<Component>& components, int typicalHeight) {
  if (typicalHeight <= 0) return;
  components.erase(std::remove_if(components.begin(), components.end(),
                                  [&](const Component& c) { return IsRule(c, typicalHeight); }),
                   components.end());
}

}  // namespace morvik
