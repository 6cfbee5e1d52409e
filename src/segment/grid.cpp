#include "segment/grid.h"

#include <algorithm>

#include "core/error.h"
#include "segment/components.h"

namespace morvik {

namespace {

// Columns left .. right - 1 and rows top .. bottom - 1, clipped to the picture; the sums are
// formed wide so that no grid overflows.
Rect Clip(long long left, long long top, long long right, long long bottom, int width, int height) {
  const auto l = static_cast<int>(std::clamp<long long>(left, 0, width));
  const auto t = static_cast<int>(std::clamp<long long>(top, 0, height));
  const auto r = static_cast<int>(std::clamp<long long>(right, 0, width));
  const auto b = static_cast<int>(std::clamp<long long>(bottom, 0, height));
  return {l, t, std::max(0, r - l), std::max(0, b - t)};
}

void CheckGrid(const GridLayout& g) {
  if (g.CellWidth < 1 || g.CellHeight < 1 || g.Columns < 1 || g.Rows < 1)
    throw Error("the grid needs cells and a cell size of at least 1");
  if (static_cast<long long>(g.Columns) * g.Rows > 1000000)
    throw Error("the grid has more than a million cells");
}

}  // namespace

Rect InkBox(const BinaryImage& image, const Rect& area) {
  Rect box;
  for (int y = area.Top; y < area.Bottom(); ++y)
    for (int x = area.Left; x < area.Right(); ++x)
      if (image.At(x, y)) {
        const int start = x;
        while (x + 1 < area.Right() && image.At(x + 1, y)) ++x;
        box = Union(box, Rect{start, y, x + 1 - start, 1});
      }
  return box;
}

Segmentation SegmentGrid(const GreyImage& grey, const GridLayout& grid, Polarity polarity,
                         std::size_t maxChars) {
  CheckGrid(grid);
  const Binarised b = Binarise(grey, polarity);
  const BinaryImage clean = RemoveDust(b.Image, TypicalHeight(FindComponents(b.Image)));
  Segmentation s;
  s.DarkOnLight = b.DarkOnLight;
  std::size_t count = 0;
  for (int row = 0; row < grid.Rows && count <= maxChars; ++row) {
    const long long top = grid.Top + static_cast<long long>(row) * grid.CellHeight;
    const long long bottom = top + grid.CellHeight;
    TextLine line;
    line.Box =
        Clip(grid.Left, top, grid.Left + static_cast<long long>(grid.Columns) * grid.CellWidth,
             bottom, grey.Width, grey.Height);
    for (int col = 0; col < grid.Columns; ++col) {
      const long long left = grid.Left + static_cast<long long>(col) * grid.CellWidth;
      const Rect cell = Clip(left, top, left + grid.CellWidth, bottom, grey.Width, grey.Height);
      const Rect ink = InkBox(clean, cell);
      const bool empty = ink.Width == 0;
      count += !empty;
      const Rect& r = empty ? cell : ink;
      line.Chars.push_back({r.Left, r.Top, r.Width, r.Height, false, empty});
    }
    s.Lines.push_back(std::move(line));
  }
  return s;
}

}  // namespace morvik
