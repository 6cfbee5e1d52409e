#include "session/recognition.h"

#include "core/normalize.h"
#include "core/whole_number.h"

namespace morvik {

double TallyOf(const std::string& percentText) {
  long value = 0;
  if (!ParseWholeNumber(percentText, value)) value = 0;
  return static_cast<double>(static_cast<long double>(value) / 100.0L);
}

Recognition Recognize(Session& session, const TPattern& pattern) {
  TPattern& test = session.Bank.TestPattern();
  // Counts are recounted below; the stored counts belong to the set file.
  test.Cells = pattern.Cells;
  test.MaxLevel = pattern.MaxLevel;
  NormalizeBank(session.Bank);
  RecognizeTestPattern(session.Bank, session.Tally, session.Scores);
  return Recognition{session.Scores.TopThree};
}

Recognition Recognize(const Session& session, const TPattern& pattern) {
  TPatternBank bank = session.Bank;
  TPattern& test = bank.TestPattern();
  test.Cells = pattern.Cells;
  test.MaxLevel = pattern.MaxLevel;
  NormalizeBank(bank);
  ScoreState scores;
  RecognizeTestPattern(bank, session.Tally, scores);
  return Recognition{scores.TopThree};
}

char CharacterOf(const Session& session, int n) {
  if (!session.Chars.CharMapLoaded || n < 0 || n > kReferenceCount) return 0;
  return session.Chars.CharMap[static_cast<std::size_t>(n)];
}

}  // namespace morvik
