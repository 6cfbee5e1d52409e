// Character lists as callers name them ("0-9A-Z"): the characters to learn, render or
// answer with.
#pragma once

#include <string>

namespace morvik {

// The characters of a UTF-8 list in order: the one parser of every character list. A '-'
// between two characters is the range between them, both ends included; a '-' at the start
// or the end, or next to a blank, stands for itself: blanks separate ("0 - 2" is '0', ' ',
// '-', ' ', '2'), and the callers that take no blank drop them. Throws Error (kUsage: the list is
// what a caller typed) naming the list, on a reversed range ("9-0") and on text that is not UTF-8.
std::u32string ParseCharList(const std::string& list);

// Throws Error kUsage when the list cannot name the characters to answer with (ReadSettings
// and FolderRunSettings Chars): not UTF-8, a reversed range, a character beyond U+00FF
// (what a character map holds), or no character at all. Blanks are ignored.
void CheckAnswerChars(const std::string& list);

// Throws Error kUsage when the list cannot name the characters of a picture to learn, in
// reading order (LearnPicture): as ParseCharList, and a character beyond U+00FF.
void CheckLearnChars(const std::string& list);

}  // namespace morvik
