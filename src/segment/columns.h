// Columns of running text: a page set in two or more columns reads column by column, while a
// table or a file list, whose rows belong together, keeps reading row by row.
#pragma once

#include <vector>

#include "segment/components.h"
#include "segment/lines.h"

namespace morvik {

// The components parted at gutters: runs of at least two typical heights of columns that no
// character-sized component touches, with ink on either side over the picture's whole text.
// Columns come left to right; one column when there is no gutter.
std::vector<std::vector<Component>> SplitAtGutters(const std::vector<Component>& components,
                                                   int typicalHeight);

// Whether the lines look like a column of set text: at least three lines, each column at
// least twelve typical heights wide, and three lines in five filling it from its left edge to
// within two typical heights of its right one (judged by their character-sized parts: a
// speck of noise a line took in does not widen it). Names, sizes and dates in a table's columns
// are narrower or end raggedly.
bool IsTextColumn(const std::vector<LineParts>& lines, int typicalHeight);

// The lines of the components in reading order: column by column when every part between
// gutters is a column of text, else across the whole width (FindLines).
std::vector<LineParts> LinesInReadingOrder(const std::vector<Component>& components,
                                           int imageHeight, int typicalHeight);

}  // namespace morvik
