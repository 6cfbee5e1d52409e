// An English word list that chooses among close readings of a word of letters. The list is
// Debian's wamerican (/usr/share/dict/american-english); reading works the same without it,
// only without this help.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "reading/read_picture.h"

namespace morvik {

constexpr std::size_t kLexiconCharacters = 1500;
// Close readings only: a clear reading is never overridden by the word it makes.
constexpr double kLexiconMargin = 0.1;

// The words' hash table as it lies in memory or in a prepared file (word_table.h): Size
// slots (a power of two, or 0), each 0 or one plus the place in Text of a word ended by its
// line end (the last perhaps by the end of Text).
struct LexiconTable {
  const std::uint32_t* Slots = nullptr;
  std::size_t Size = 0;
  std::string_view Text;
  std::size_t Words = 0;

  // The word at a slot's place; empty for a place beyond Text (a damaged file).
  std::string_view WordAt(std::uint32_t place) const;
};

class Lexicon {
 public:
  // One word a line, read in place (the text must outlive the lexicon); words of letters
  // only, compared in small letters (others, with an apostrophe, are passed over).
  explicit Lexicon(std::string_view lines);
  // A table made before (a prepared file's), its memory kept alive by `keep`.
  Lexicon(const LexiconTable& table, std::shared_ptr<const void> keep);

  bool Contains(std::string_view smallLetters) const;
  bool Empty() const { return table_.Words == 0; }
  const LexiconTable& Table() const { return table_; }

  // The system's word list, loaded once at the first call (threads may call at once): from
  // the prepared table installed beside the stock library when it was made from the list as
  // it is now, else from the list itself; an empty lexicon when the list is missing or
  // unreadable.
  static const Lexicon& Installed();

 private:
  LexiconTable table_;
  std::shared_ptr<const void> keep_;  // the memory table_ lies in
};

bool IsLetter(char c);
// Small letters, a first capital allowed; or capitals only.
bool OneCase(std::string_view w);

// For every word of letters (the letters between a word's leading and trailing signs, at
// least three, all small but perhaps the first, or all capitals) that the lexicon does not
// hold, the reading that changes at most two letters to others among their three best, each
// scoring within kLexiconMargin of its best, the lexicon holds and costs the least score, is
// moved to the front; a first l of a word of small letters may also be changed to the capital
// I it looks like, at the cost of kLexiconMargin. Rejected characters end a word's letters.
// The lexicon is asked for only when a word needs it: reading digits never loads it.
// Reading applies it to pictures of at least kLexiconCharacters characters (pages).
void ApplyLexicon(PictureReading& reading, const std::function<const Lexicon&()>& lexicon);

}  // namespace morvik
