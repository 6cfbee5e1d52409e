// The checks of character lists (morvik/chars.h) by the parsers that later use them.
#include "morvik/chars.h"

#include "library/char_filter.h"
#include "learning/learn_picture.h"

namespace morvik {

void CheckAnswerChars(const std::string& list) {
  ParseCharFilter(list);
}

void CheckLearnChars(const std::string& list) {
  LearnableChars(list);
}

}  // namespace morvik
