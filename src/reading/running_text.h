// Whether a line read from a screenshot is running text (prose), where the lexicon may drive
// the word search as it does on pages: lines of codes, numbers, file names and listings are
// left to the readings alone, since the word list would bend them into words.
#pragma once

#include <vector>

#include "reading/recognized_box.h"

namespace morvik {

// At least kRunningTextWords words, and two in three of them letters only (a ligature counts
// as the letters it joins; an inner apostrophe or hyphen allowed, and the 1 ; ? that small
// serif letters are misread as) between leading and trailing punctuation, as first read; an
// unread piece spoils its word.
constexpr int kRunningTextWords = 2;
bool RunningText(const std::vector<RecognizedBox>& line);

}  // namespace morvik
