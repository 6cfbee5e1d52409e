#include "segment/spaces.h"

#include <algorithm>

#include "core/median.h"

namespace morvik {

namespace {

// Judged on the distances within words only (below 1.5 P): lines of short digit groups hold
// nearly as many word spaces as neighbours.
bool RegularPitch(const std::vector<long double>& distances, long double pitch) {
  std::size_t close = 0, within = 0;
  for (long double d : distances) {
    if (d >= 1.5L * pitch) continue;
    ++within;
    close += d >= 0.9L * pitch && d <= 1.1L * pitch;
  }
  return within >= 2 && 10 * close >= 7 * within;
}

}  // namespace

std::vector<bool> FindSpaces(const std::vector<Rect>& chars, int height) {
  std::vector<bool> space(chars.size(), false);
  if (chars.size() < 2) return space;
  std::vector<long double> distances, gaps, widths;
  for (const Rect& r : chars) widths.push_back(r.Width);
  const long double width = UpperMedian(widths);
  // A narrow character (a figure one, an I) stands in a wider cell: part of its side bearings
  // is not space.
  auto pad = [&](const Rect& r) { return r.Width < width / 2 ? 0.1L * (width - r.Width) : 0.0L; };
  for (std::size_t i = 1; i < chars.size(); ++i) {
    const Rect &a = chars[i - 1], &b = chars[i];
    distances.push_back((b.Left + b.Right() - a.Left - a.Right()) / 2.0L);
    gaps.push_back(static_cast<long double>(b.Left - a.Right()) - pad(a) - pad(b));
  }
  const long double pitch = UpperMedian(distances);
  const bool regular = RegularPitch(distances, pitch);
  const long double gap = std::min<long double>(UpperMedian(gaps), 0.15L * height);
  // At a regular pitch a wide gap counts only where the centres also stand apart: a colon or
  // a full stop keeps its cell's centre while its wide bearings leave a wide gap.
  for (std::size_t i = 1; i < chars.size(); ++i)
    space[i] = regular ? distances[i - 1] > 1.25L * pitch ||
                             (gaps[i - 1] > gap + 0.3L * height && distances[i - 1] > 1.1L * pitch)
                       : gaps[i - 1] > gap + 0.23L * height;
  return space;
}

}  // namespace morvik
