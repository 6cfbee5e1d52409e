// What recognising needs from one program or caller: the pattern bank, the score table, the
// image settings, the character map and the matching threshold ("tally").
#pragma once

#include "core/char_map.h"
#include "core/pattern_bank.h"
#include "core/scoring.h"
#include "image/image_options.h"

namespace morvik {

struct Session {
  TPatternBank Bank;
  ScoreState Scores;
  ImageOptions Image;
  CharMapState Chars;
  double Tally = 0.75;  // matching threshold as a fraction

  Session() = default;
  Session(const Session&) = delete;  // the bank is changed in place; never copied by mistake
  Session& operator=(const Session&) = delete;
};

}  // namespace morvik
