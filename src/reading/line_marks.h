// Small marks told apart by where they stand on their line: a dot of a few pixels matches a
// full stop, a hyphen and a quote about as well, and only its place says which it is.
#pragma once

#include "reading/read_picture.h"

namespace morvik {

// For every character no higher and no wider than a quarter of its line's capitals whose
// bottom lies on the line's baseline (the median bottom, within an eighth of the capitals,
// at least a pixel), a full stop among its three best moves to the front. Rejected and blank
// characters are left as they are.
void ApplyLineMarks(PictureReading& reading);

}  // namespace morvik
