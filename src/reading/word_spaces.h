// Word spaces of a line of running text decided again once its characters are read: the
// gaps are measured against the line's own letter spacing, and a point between digits
// (3.6.0, 14.3) never stands beside a space.
#pragma once

#include <vector>

#include "reading/recognized_box.h"
#include "segment/binarise.h"

namespace morvik {

// Sets SpaceBefore of the line's boxes (left to right, after splits and joins), measured in
// the median height h of the boxes:
// - A line of twelve or more boxes, letters outnumbering digits, whose box centres (of a box
//   spanning cells, its first cell's) sit within a fifth of a pitch of one even grid for 90%
//   of them and within 0.15 of a pitch for 75% (the pitch within 20% of the median centre
//   distance): a space where a whole cell between two boxes is empty.
// - Else a monospaced line (70% of at least six centre distances below 1.5 pitches within 10%
//   of the pitch, fewer digits than other characters, no two neighbours 0.3 to 0.7 of a
//   pitch further apart than their cells: a proportional word space): a space where the
//   centres stand more than half a pitch further apart than the cells the two boxes span.
// - Other lines: the gaps (less the wide bearings of narrow figures, plus a quarter of the
//   width of a box read as f, whose hook overhangs the gap) split in two classes
//   (least spread within them; again within the narrower while the wider begins past
//   0.8 h, a table row's cell gaps, unless that split begins below 0.23 h: then the wider
//   class holds a justified column's stretched word spaces); spaces are the wider class when the
//   means differ by 0.2 h or more, counted from 0.23 h above the narrower's mean (taken at most
//   0.15 h). Without two classes the line keeps the spaces it has. A gap of max(0.3 h, 6 pixels) is
//   a space.
// - A full stop read between digits has no space on either side (3.6.0, 14.3).
// Lines of fewer than four boxes, or with an empty box (a grid or table cell), are left alone.
// known: what CutGridSpans found for this line, so that its grid is not fitted again.
struct LineGrid;
void SetWordSpaces(std::vector<RecognizedBox>& line, const LineGrid& known);
void SetWordSpaces(std::vector<RecognizedBox>& line);

// On a line whose boxes sit on an even grid (the first rule above: a monospaced face), a box
// spanning two or more cells holds touching letters: it is cut at the cell borders, each
// piece trimmed to its ink in `ink` and read by `recognize`; the first keeps SpaceBefore. A
// box stays whole when a piece would hold no ink or read no better than the box.
// Returns the grid it fitted when it left the line as it was (Known), for SetWordSpaces.
struct LineGrid {
  bool Known = false;
  long double Pitch = 0, Origin = 0;  // Pitch 0: the line has no grid
};
LineGrid CutGridSpans(const BinaryImage& ink, std::vector<RecognizedBox>& line,
                      const BoxRecognizer& recognize);

}  // namespace morvik
