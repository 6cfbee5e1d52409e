// Small marks that belong to the text although they are as small as dust: at screen sizes the
// dot of an i or j and a full stop are one to four pixels, which the dust filter takes away
// (an i then reads as l or 1, and 3.6.0 as 3 6 0). They are given back by their place on
// the line.
#pragma once

#include <vector>

#include "segment/components.h"
#include "segment/lines.h"

namespace morvik {

// Puts back into the lines the dust marks that are
// - the dot over a stem: above a part of the line no wider than a typical height (a
//   monospaced i has serifs) and no higher than 1.2, at most half a typical height over it, its
//   middle within the part's columns;
// - a full stop: on the bottom of the part just left of it or on the line's baseline (the
//   median bottom of its parts; within an eighth of a typical height, at least a pixel), less
//   than a typical height after that part, over no part.
// Each mark joins one line at most; the others stay out.
void PutBackMarks(std::vector<LineParts>& lines, std::vector<Component> dust, int typicalHeight);

}  // namespace morvik
