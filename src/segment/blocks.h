// Blocks of a middle grey that the picture's threshold put with the ink, text and all: a
// blue button on a dark dialog, a grey button on a light one, whose text lies farther still
// from the ground than the block. Read as one solid blob, the text would be lost; once the
// block's grey is taken for ground, its text reads like the rest of the picture.
#pragma once

#include <vector>

#include "segment/bars.h"
#include "segment/binarise.h"
#include "segment/grey_image.h"

namespace morvik {

struct TextBlocks {
  std::vector<Bar> Bars;  // the blocks, row by row as bars are
  // The ink with each block's own pixels marked as ink and its text as ground, so that
  // FlipBars(grey, Ink, Bars) turns the block into ground and its text into the darkest ink.
  Binarised Ink;
};

// The blocks among the ink components: 10 to 300 rows (a HiDPI button read enlarged), at least
// twice as wide as high, nine tenths of the box ink (rounded corners), whose text (the greys past
// the middle between the block's median grey and its farthest grey, away from the ground) is 2 % to
// 40 % of the block, keeps off its first and last rows, and stands at least half the block's own
// contrast with the ground away from the block. Bars (FindBars) inside a block are dropped from
// bars: the dips of a resampling's ringing between its letters look like ground-coloured text on
// it.
// components are FindComponents(ink.Image).
TextBlocks FindTextBlocks(const GreyImage& grey, const Binarised& ink, std::vector<Bar>& bars,
                          const std::vector<Component>& components);

}  // namespace morvik
