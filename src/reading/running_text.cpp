#include "reading/running_text.h"

#include <string>
#include <string_view>

#include "reading/lexicon.h"  // IsLetter
#include "reading/ligatures.h"

namespace morvik {

namespace {

constexpr char kUnread = '#';

// Letters only once the signs prose puts around a word are taken off; a word of nothing
// but signs (a dash standing alone) is not held against the line.
bool ProseWord(std::string_view w) {
  constexpr std::string_view kLeading = "(\"'`", kTrailing = ".,;:!?)\"'`";
  while (!w.empty() && kLeading.find(w.front()) != std::string_view::npos) w.remove_prefix(1);
  while (!w.empty() && kTrailing.find(w.back()) != std::string_view::npos) w.remove_suffix(1);
  if (w.empty()) return true;
  if (!IsLetter(w.front()) || !IsLetter(w.back())) return false;
  // Inside a word, the signs small serif letters are first read as (h as l1, a as ;t, m as n?)
  // still make a word of it; the word search sets them right with the lexicon.
  constexpr std::string_view kInner = "'-1;?";
  for (char c : w)
    if (!IsLetter(c) && kInner.find(c) == std::string_view::npos) return false;
  return true;
}

}  // namespace

bool RunningText(const std::vector<RecognizedBox>& line) {
  int words = 0, prose = 0;
  std::string word;
  const auto end = [&] {
    if (word.empty()) return;
    ++words;
    prose += ProseWord(word) ? 1 : 0;
    word.clear();
  };
  for (const RecognizedBox& b : line) {
    if (b.Box.SpaceBefore) end();
    // An unread piece counts against the word: it may be a digit as well as a letter.
    // A ligature counts as the letters it joins.
    word += b.Best[0].No == 0 || b.Best[0].Char == 0 ? std::string(1, kUnread)
                                                     : LettersOf(b.Best[0].Char);
  }
  end();
  return words >= kRunningTextWords && 3 * prose >= 2 * words;
}

}  // namespace morvik
