#include "segment/table.h"

#include <algorithm>

#include "segment/components.h"
#include "segment/grid.h"
#include "segment/text_segmenter.h"

namespace morvik {

namespace {

using Band = std::pair<int, int>;

// Runs of ink along a row (step 1) or a column (step = width) at least minLength long.
template <typename Visit>
void LongRuns(const BinaryImage& image, int start, int step, int count, int minLength,
              Visit visit) {
  for (int i = 0; i < count;) {
    if (!image.Ink[static_cast<std::size_t>(start) + static_cast<std::size_t>(i) * step]) {
      ++i;
      continue;
    }
    const int first = i;
    while (i < count &&
           image.Ink[static_cast<std::size_t>(start) + static_cast<std::size_t>(i) * step])
      ++i;
    if (i - first >= minLength) visit(first, i);
  }
}

std::vector<Band> MarkedBands(const std::vector<bool>& marked) {
  std::vector<Band> bands;
  for (int i = 0; i < static_cast<int>(marked.size()); ++i)
    if (marked[i]) {
      if (!bands.empty() && bands.back().second == i) {
        bands.back().second = i + 1;
      } else {
        bands.push_back({i, i + 1});
      }
    }
  return bands;
}

int MinRowRun(const BinaryImage& image) {
  return std::max(2, image.Width * 2 / 5);
}
int MinColumnRun(const BinaryImage& image) {
  return std::max(2, image.Height * 2 / 5);
}

// Clears the ruling runs; the strokes of characters that touch a rule keep their other pixels.
BinaryImage RemoveRulings(const BinaryImage& image) {
  BinaryImage out = image;
  for (int y = 0; y < image.Height; ++y)
    LongRuns(image, y * image.Width, 1, image.Width, MinRowRun(image), [&](int a, int b) {
      for (int x = a; x < b; ++x) out.Ink[static_cast<std::size_t>(y) * image.Width + x] = 0;
    });
  for (int x = 0; x < image.Width; ++x)
    LongRuns(image, x, image.Width, image.Height, MinColumnRun(image), [&](int a, int b) {
      for (int y = a; y < b; ++y) out.Ink[static_cast<std::size_t>(y) * image.Width + x] = 0;
    });
  return out;
}

// The spans between the rulings (and the picture's edges).
std::vector<Band> Between(const std::vector<Band>& rulings, int size) {
  std::vector<Band> spans;
  int start = 0;
  for (const Band& r : rulings) {
    if (r.first > start) spans.push_back({start, r.first});
    start = r.second;
  }
  if (size > start) spans.push_back({start, size});
  return spans;
}

BinaryImage SubImage(const BinaryImage& image, const Rect& r) {
  BinaryImage sub;
  sub.Width = r.Width, sub.Height = r.Height;
  sub.Ink.resize(static_cast<std::size_t>(r.Width) * r.Height);
  for (int y = 0; y < r.Height; ++y)
    std::copy_n(image.Ink.begin() + static_cast<std::ptrdiff_t>(r.Top + y) * image.Width + r.Left,
                r.Width, sub.Ink.begin() + static_cast<std::ptrdiff_t>(y) * r.Width);
  return sub;
}

// The cell's characters, in the picture's coordinates, appended to the row's line; the count
// of characters added.
std::size_t AddCell(const BinaryImage& clean, const Rect& cell, int typicalHeight,
                    std::size_t maxChars, TextLine& row) {
  const std::size_t first = row.Chars.size();
  for (const TextLine& l : SegmentLines(SubImage(clean, cell), typicalHeight, maxChars))
    for (CharBox c : l.Chars) {
      c.Left += cell.Left, c.Top += cell.Top;
      c.SpaceBefore = c.SpaceBefore && row.Chars.size() > first;
      row.Chars.push_back(c);
    }
  const std::size_t added = row.Chars.size() - first;
  if (added == 0) row.Chars.push_back({cell.Left, cell.Top, cell.Width, cell.Height, false, true});
  row.Chars[first].SpaceBefore = first > 0;
  return added;
}

// The spans of rows and of columns between the rulings that hold ink in at least one cell;
// ink lying only on a ruling (the stub of a broken rule) makes no cell. Either both lists
// are empty or neither is.
struct CellSpans {
  std::vector<Band> Rows, Columns;
};

CellSpans InkedSpans(const BinaryImage& inked, const Rulings& rulings) {
  const std::vector<Band> rows = Between(rulings.Rows, inked.Height);
  const std::vector<Band> columns = Between(rulings.Columns, inked.Width);
  std::vector<bool> rowInk(rows.size(), false), columnInk(columns.size(), false);
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const Band &row = rows[r], &column = columns[c];
      const Rect cell{column.first, row.first, column.second - column.first,
                      row.second - row.first};
      if (InkBox(inked, cell).Width > 0) rowInk[r] = columnInk[c] = true;
    }
  CellSpans spans;
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rowInk[r]) spans.Rows.push_back(rows[r]);
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columnInk[c]) spans.Columns.push_back(columns[c]);
  return spans;
}

}  // namespace

Rulings FindRulings(const BinaryImage& image) {
  std::vector<bool> rows(static_cast<std::size_t>(image.Height), false);
  std::vector<bool> columns(static_cast<std::size_t>(image.Width), false);
  for (int y = 0; y < image.Height; ++y)
    LongRuns(image, y * image.Width, 1, image.Width, MinRowRun(image),
             [&](int, int) { rows[y] = true; });
  for (int x = 0; x < image.Width; ++x)
    LongRuns(image, x, image.Width, image.Height, MinColumnRun(image),
             [&](int, int) { columns[x] = true; });
  return {MarkedBands(rows), MarkedBands(columns)};
}

Segmentation SegmentTable(const GreyImage& grey, Polarity polarity, std::size_t maxChars) {
  const Binarised b = Binarise(grey, polarity);
  const Rulings rulings = FindRulings(b.Image);
  const BinaryImage clean = RemoveRulings(b.Image);
  const int typical = TypicalHeight(FindComponents(clean));
  const BinaryImage inked = RemoveDust(clean, typical);
  const CellSpans spans = InkedSpans(inked, rulings);
  Segmentation s;
  s.DarkOnLight = b.DarkOnLight;
  std::size_t count = 0;
  for (const Band& r : spans.Rows) {
    if (count > maxChars) break;
    TextLine line;
    for (const Band& c : spans.Columns)
      if (count <= maxChars)
        count += AddCell(inked, {c.first, r.first, c.second - c.first, r.second - r.first}, typical,
                         maxChars - count, line);
    const Band &first = spans.Columns.front(), &last = spans.Columns.back();
    line.Box = {first.first, r.first, last.second - first.first, r.second - r.first};
    s.Lines.push_back(std::move(line));
  }
  return s;
}

}  // namespace morvik
