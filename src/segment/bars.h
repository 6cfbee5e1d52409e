// Bars of the other polarity inside a picture: a selected row, a button, a title bar, whose
// text is the picture's ground colour on a block of its ink colour. Their greys are turned
// round so that the whole picture reads in one polarity.
#pragma once

#include <vector>

#include "segment/binarise.h"
#include "segment/components.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

// A bar: rows Top .. Bottom - 1 of an ink component's box, each row's ink running from
// Starts[k] to Ends[k] - 1 (the rounded corners of a button stay outside).
struct Bar {
  int Top = 0, Bottom = 0;
  std::vector<int> Starts, Ends;
};

// The bars of the ink: within the box of a component (a title bar may be one component with
// the frame below it), a run of 10 rows or more, at most half the box's width, each at
// least 40 % ink (a line of bold text on the bar leaves 50 % to 60 %), whose first and last rows
// are solid (97 %) and whose rows between hold less ink: ground-coloured text framed by ink above
// and below. A large letter's strokes (the bar of a T, the arches of an M) are solid throughout or
// open at the top or bottom.
// components are FindComponents(ink), found once for every step that needs them.
std::vector<Bar> FindBars(const BinaryImage& ink, const std::vector<Component>& components);

// The greys of the bars turned round: a bar's ink becomes the picture's ground grey, and the
// text in it runs from that grey to the darkest (or lightest) ink, as the rest of the
// picture's text does. The bars are FindBars(ink.Image).
void FlipBars(GreyImage& grey, const Binarised& ink, const std::vector<Bar>& bars);

}  // namespace morvik
