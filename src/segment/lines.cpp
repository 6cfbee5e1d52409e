#include "segment/lines.h"

#include <algorithm>
#include <climits>

namespace morvik {

namespace {

struct Band {
  int Top, Bottom;  // rows Top .. Bottom - 1
  int Height() const { return Bottom - Top; }
};

bool IsTall(const Component& c, int typicalHeight) {
  return 3 * c.Box.Height >= typicalHeight;
}

std::vector<Band> ProjectTall(const std::vector<Component>& components, int imageHeight,
                              int typicalHeight) {
  std::vector<int> starts(static_cast<std::size_t>(imageHeight) + 1, 0);
  for (const Component& c : components)
    if (IsTall(c, typicalHeight)) ++starts[c.Box.Top], --starts[c.Box.Bottom()];
  std::vector<Band> bands;
  int cover = 0;
  for (int y = 0; y < imageHeight; ++y) {
    const bool was = cover > 0;
    cover += starts[y];
    if (cover > 0 && !was) bands.push_back({y, y + 1});
    if (cover > 0) bands.back().Bottom = y + 1;
  }
  return bands;
}

int MedianHeight(const std::vector<Band>& bands) {
  std::vector<int> h;
  for (const Band& b : bands) h.push_back(b.Height());
  std::nth_element(h.begin(), h.begin() + h.size() / 2, h.end());
  return h[h.size() / 2];
}

// A thin band (the dots over a line of i's, a row of hyphens) joins the nearer neighbour.
void MergeThinBands(std::vector<Band>& bands) {
  while (bands.size() > 1) {
    const int median = MedianHeight(bands);
    std::size_t thin = bands.size();
    for (std::size_t i = 0; i < bands.size() && thin == bands.size(); ++i)
      if (2 * bands[i].Height() < median) thin = i;
    if (thin == bands.size()) return;
    const int above = thin > 0 ? bands[thin].Top - bands[thin - 1].Bottom : INT_MAX;
    const int below = thin + 1 < bands.size() ? bands[thin + 1].Top - bands[thin].Bottom : INT_MAX;
    const std::size_t into = above <= below ? thin - 1 : thin + 1;
    bands[into] = {std::min(bands[into].Top, bands[thin].Top),
                   std::max(bands[into].Bottom, bands[thin].Bottom)};
    bands.erase(bands.begin() + static_cast<std::ptrdiff_t>(thin));
  }
}

int Distance(const Band& b, int y) {
  return y < b.Top ? b.Top - y : y >= b.Bottom ? y - b.Bottom + 1 : 0;
}

// The band nearest to row y, the upper one of two as near; bands.size() when there are none.
// The bands lie apart, top to bottom: only the first ending below y and the one before it
// can be nearest, found by bisection (a picture of dots has thousands of bands and millions
// of components).
std::size_t Nearest(const std::vector<Band>& bands, int y) {
  const auto below = std::upper_bound(bands.begin(), bands.end(), y,
                                      [](int row, const Band& b) { return row < b.Bottom; });
  const auto i = static_cast<std::size_t>(below - bands.begin());
  if (i == 0) return bands.empty() ? bands.size() : 0;
  if (i == bands.size() || Distance(bands[i - 1], y) <= Distance(bands[i], y)) return i - 1;
  return i;
}

}  // namespace

std::vector<LineParts> FindLines(const std::vector<Component>& components, int imageHeight,
                                 int typicalHeight) {
  std::vector<Band> bands = ProjectTall(components, imageHeight, typicalHeight);
  MergeThinBands(bands);
  std::vector<LineParts> lines(bands.size());
  for (const Component& c : components) {
    const std::size_t best = Nearest(bands, c.Box.Top + c.Box.Height / 2);
    if (best == bands.size() ||
        Distance(bands[best], c.Box.Top + c.Box.Height / 2) > bands[best].Height())
      continue;
    lines[best].Parts.push_back(c.Box);
    lines[best].Box = Union(lines[best].Box, c.Box);
  }
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [](const LineParts& l) { return l.Parts.empty(); }),
              lines.end());
  return lines;
}

}  // namespace morvik
