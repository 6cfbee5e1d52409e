// Readings of one line made up for the tests of the word rules.
#pragma once

#include <string>
#include <vector>

#include "reading/read_picture.h"

namespace morvik {

// One line of characters; each is "best[second[third]]" scoring 0.9, `second` and 0.7, a
// blank between words.
PictureReading ReadingLine(const std::vector<std::string>& chars, double second = 0.9);

// The characters shown, without the blanks.
std::string ShownLine(const PictureReading& r);

}  // namespace morvik
