// Recognising one pattern against the session's references: the three best numbers and
// their scores.
#pragma once

#include <array>
#include <string>

#include "session/session.h"

namespace morvik {

struct Recognition {
  std::array<TRankEntry, 3> Best{};  // best first; No 0 where nothing scored
};

// The pattern becomes the session's TestPattern; the references and the pattern are
// normalised in place (as every run does), counted and scored with the session's tally.
// The score table and its ranks are left as the scoring leaves them.
Recognition Recognize(Session& session, const TPattern& pattern);

// The same numbers for a session that stays as it is: the references are normalised in a
// copy, and their line profiles made afresh (slower in a run than the one above).
Recognition Recognize(const Session& session, const TPattern& pattern);

// The tally of a percentage typed as text ("75" gives 0.75); text that is no whole number
// gives 0.
double TallyOf(const std::string& percentText);

// The character pattern n stands for under the session's map: the mapped character, or
// 0 when no map is loaded or the map never named n.
char CharacterOf(const Session& session, int n);

}  // namespace morvik
