// The checks of character lists (morvik/chars.h) by the parsers that later use them.
#include "morvik/chars.h"

#include "learning/learn_picture.h"
#include "library/char_filter.h"

namespace morvik {

void CheckAnswerChars(const std::string& list) {
  ParseCharFilter(list);
}

void CheckLearnChars(const std::string& list) {
  LearnableChars(list);
}

}  // namespace morvik
