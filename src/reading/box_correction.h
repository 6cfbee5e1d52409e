// Character boxes corrected by recognition: touching characters the segmenter left in one box
// (serifs, kerned pairs such as "AV" or "WY", where no cut at a thin contact exists) are split,
// and pieces of one character it cut apart (the halves of a serif M, a stroke broken at a small
// size) are joined, where recognising the other way fits clearly better.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "library/library_scoring.h"
#include "segment/binarise.h"
#include "segment/segmentation.h"

namespace morvik {

struct RecognizedBox {
  CharBox Box;
  std::array<LibraryMatch, 3> Best{};
};

using BoxRecognizer = std::function<std::array<LibraryMatch, 3>(const CharBox&)>;

// How much better (in score) the weaker of two pieces must match than the whole box.
constexpr double kSplitMargin = 0.12;

// The box recognised whole, or, when it is at least 0.8 times as wide as high and 1.2 times the
// line's typical character width (0: not known), split into
// pieces: at each of the three columns with the least ink in the middle half of the box, the
// two sides are shrunk to their ink (pieces lower than half the box or narrower than an eighth
// of its height are no characters) and recognised; the cut whose weaker piece scores highest
// is taken when that score exceeds the whole's by kSplitMargin. Pieces are split again, up to
// four characters from one box. The first piece keeps the box's SpaceBefore.
std::vector<RecognizedBox> RecognizeSplitting(const BinaryImage& ink, const CharBox& box,
                                              int typicalWidth, const BoxRecognizer& recognize);

// How much better the joined box must match than the better of its two pieces.
constexpr double kJoinMargin = 0.12;

// Where the detail ranked them: the likeness a joined box must reach, and by how much it must
// pass both pieces' likeness, to be joined whatever the scores.
constexpr double kJoinLikeness = 0.9;
constexpr double kJoinLikenessMargin = 0.15;

// Joins neighbours of a line, left to right, without a space between them whose joined box
// (at most 1.5 times as wide as high, the pieces at most a third of its height apart) is
// recognised with a score above both pieces' by kJoinMargin, or with a detail likeness of at
// least kJoinLikeness above both pieces' by kJoinLikenessMargin; a joined box may join its next
// neighbour too. The joined box keeps the first piece's SpaceBefore.
void JoinPieces(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize);

}  // namespace morvik
