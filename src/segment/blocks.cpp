#include "segment/blocks.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "segment/components.h"
#include "segment/deskew.h"  // GroundGrey

namespace morvik {

namespace {

constexpr int kLeastHeight = 10, kMostHeight = 300;

bool BlockShaped(const Component& c) {
  const Rect& b = c.Box;
  return b.Height >= kLeastHeight && b.Height <= kMostHeight && b.Width >= 2 * b.Height &&
         10 * c.Area >= 9LL * b.Width * b.Height;
}

int MedianOf(const std::array<long long, 256>& counts) {
  long long total = 0, seen = 0;
  for (long long c : counts) total += c;
  for (int v = 0; v < 256; ++v)
    if (2 * (seen += counts[v]) >= total) return v;
  return 0;
}

// Whether grey v lies past the middle between the block's grey and its text, text-ward.
struct TextTest {
  int Middle = 0;
  bool Darker = true;
  bool operator()(int v) const { return Darker ? v < Middle : v > Middle; }
};

// The block within box, or false when its greys do not show text on a block.
bool TextBlockIn(const GreyImage& grey, const BinaryImage& ink, const Rect& box, bool darkInk,
                 int ground, TextTest& test) {
  std::array<long long, 256> counts{};
  int extreme = darkInk ? 255 : 0;
  for (int y = box.Top; y < box.Bottom(); ++y)
    for (int x = box.Left; x < box.Right(); ++x)
      if (ink.At(x, y)) {
        const int v = grey.At(x, y);
        ++counts[v];
        extreme = darkInk ? std::min(extreme, v) : std::max(extreme, v);
      }
  const int back = MedianOf(counts);
  const int contrast = std::abs(extreme - back);
  if (contrast < 48 || 2 * contrast < std::abs(back - ground)) return false;
  test = TextTest{(back + extreme) / 2, darkInk};
  long long text = 0;
  for (int y = box.Top; y < box.Bottom(); ++y)
    for (int x = box.Left; x < box.Right(); ++x) {
      if (!test(grey.At(x, y))) continue;
      if (y == box.Top || y == box.Bottom() - 1) return false;
      ++text;
    }
  const long long area = static_cast<long long>(box.Width) * box.Height;
  return 50 * text >= area && 5 * text <= 2 * area;
}

// The block as a bar, its rows running over their ink, and its text marked as ground.
Bar MarkBlock(const GreyImage& grey, const Rect& box, const TextTest& test, BinaryImage& ink) {
  Bar bar{box.Top, box.Bottom(), {}, {}};
  for (int y = box.Top; y < box.Bottom(); ++y) {
    std::uint8_t* row = ink.Ink.data() + static_cast<std::size_t>(y) * ink.Width;
    int start = box.Right(), end = box.Left;
    for (int x = box.Left; x < box.Right(); ++x)
      if (row[x]) start = std::min(start, x), end = x + 1;
    for (int x = start; x < end; ++x) row[x] = test(grey.At(x, y)) ? 0 : 1;
    bar.Starts.push_back(start);
    bar.Ends.push_back(std::max(start, end));
  }
  return bar;
}

// Whether the bar lies within the block's rows and columns.
bool Inside(const Bar& bar, const Bar& block) {
  if (bar.Top < block.Top || bar.Bottom > block.Bottom) return false;
  const int row = bar.Top - block.Top;
  return bar.Starts[0] >= block.Starts[row] && bar.Ends[0] <= block.Ends[row];
}

}  // namespace

TextBlocks FindTextBlocks(const GreyImage& grey, const Binarised& ink, std::vector<Bar>& bars,
                          const std::vector<Component>& components) {
  TextBlocks found;
  int ground = -1;
  for (const Component& c : components) {
    if (!BlockShaped(c)) continue;
    if (ground < 0) ground = GroundGrey(grey, ink.Image);
    TextTest test;
    if (!TextBlockIn(grey, ink.Image, c.Box, ink.DarkOnLight, ground, test)) continue;
    if (found.Bars.empty()) found.Ink = ink;
    found.Bars.push_back(MarkBlock(grey, c.Box, test, found.Ink.Image));
  }
  const auto inBlock = [&](const Bar& bar) {
    return std::any_of(found.Bars.begin(), found.Bars.end(),
                       [&](const Bar& block) { return Inside(bar, block); });
  };
  bars.erase(std::remove_if(bars.begin(), bars.end(), inBlock), bars.end());
  return found;
}

}  // namespace morvik
