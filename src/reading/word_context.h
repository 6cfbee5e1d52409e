// Telling look-alike characters apart by the word they stand in: an O among digits is a
// zero, an I among small letters an l.
#pragma once

#include "reading/read_picture.h"

namespace morvik {

// For every character whose best reference is a letter of a look-alike group (O o 0, I l 1) and
// whose word (the characters of its line between spaces) holds at least two other digits or
// letters, look-alikes not counted, all of one kind (all digits, all small letters or all
// capitals), the first of its three best that is a look-alike of that kind moves to the
// front. Rejected and blank characters, and words of mixed kinds, are left as they are.
void ApplyWordContext(PictureReading& reading);

}  // namespace morvik
