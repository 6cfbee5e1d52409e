// Small marks told apart by where they stand on their line: a dot of a few pixels matches a
// full stop, a hyphen and a quote about as well, and only its place says which it is.
#pragma once

#include <vector>

#include "reading/read_picture.h"
#include "reading/recognized_box.h"

namespace morvik {

// For every character no higher than a quarter and no wider than a third of its line's
// capitals whose bottom lies on the line's baseline (the median bottom, within an eighth of
// the capitals, at least a pixel), a full stop among its three best moves to the front; for
// a comma whose bottom stands half the capitals or more above the baseline, a single quote
// among its three best. Rejected and blank characters are left as they are.
void ApplyLineMarks(PictureReading& reading);

// Two boxes of a line side by side, each read as a single quote or standing in the upper half
// of the line's capitals (no higher than half of them, no wider than a third, whatever they
// were read as), no further apart than the wider is wide, with their tops and heights level (within
// a quarter of the taller, at least a pixel): recognised again as one box, which replaces them
// where a double quote is among its three best (moved to the front). The ticks of a double quote
// stand apart in print and are cut as two.
void JoinQuoteTicks(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize);

// A full stop or comma no higher than a quarter of the line's capitals and no wider than a
// third, with no space between it and the next box, whose columns it reaches into and whose
// rows hold its bottom: recognised again together with that box as one, which replaces both
// where its best is a letter or figure scoring above the box's own best. A thin stroke of
// small serif print (an s's lower end) breaks off at the threshold and reads as a dot.
void JoinStrayDots(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize);

// Two marks side by side, each no higher than a quarter of the line's capitals and no wider
// than a third, no space between them, their columns overlapping and one wholly above the
// other: recognised again as one box, which replaces them where a colon or semicolon is among
// its three best (moved to the front). A colon's dots set a column apart are cut as two.
void JoinStackedDots(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize);

// A one no higher than three quarters of the line's capitals right after a letter, no space
// between: recognised again together with the letter as one box, which replaces both where its
// best is a letter scoring above the one. A figure one rises to the capitals; a shorter one is a
// stem cut off the letter before it (a small serif h read t1).
void JoinShortOnes(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize);

}  // namespace morvik
