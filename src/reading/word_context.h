// Telling look-alike characters apart by the word they stand in: an O among digits is a
// zero, an I or a 1 among small letters an l, a P among them a p.
#pragma once

#include <functional>
#include <vector>

#include "reading/read_picture.h"

namespace morvik {

// For every character whose best reference is a letter of a look-alike group (O o 0, I l 1) and
// whose word (the characters of its line between spaces) holds at least two other digits or
// letters, look-alikes not counted, all of one kind (all digits, all small letters or all
// capitals), the first of its three best that is a look-alike of that kind moves to the
// front. In a word whose other characters are small letters (a first capital allowed, at
// least two counted), a stroke (1 I | ! ( /; an I not first) becomes the l among its three
// best, and a capital of a small letter's shape (C K O P S U V W X Z), not first, its small
// letter. In a run of letters and figures between signs, not the whole word, holding a
// figure and no letter but O o I l (10 of 10-harbour.conf, of 10.0.3.17), those become the
// figure among their three best and its figures stay. Rejected and blank characters, and
// words of mixed kinds, are left as they are.
void ApplyWordContext(PictureReading& reading);

// Whether the word's other characters than word[skip] are small letters, a first capital
// allowed (a word at the start of a sentence); look-alikes (O o 0 I l 1 |) and signs not
// counted, at least two counted.
bool SmallWordAround(const std::vector<ReadCharacter*>& word, std::size_t skip);

// Calls settle with each word of the reading: the characters of a line between spaces and
// blank cells, in reading order.
void ForEachWord(PictureReading& reading,
                 const std::function<void(std::vector<ReadCharacter*>&)>& settle);

}  // namespace morvik
