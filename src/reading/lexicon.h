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

class Lexicon {
 public:
  // One word a line, read in place (the text must outlive the lexicon); words of letters
  // only, compared in small letters (others, with an apostrophe, are passed over).
  explicit Lexicon(std::string_view lines);
  ~Lexicon();
  Lexicon(const Lexicon&) = delete;  // the table holds places in the text
  Lexicon& operator=(const Lexicon&) = delete;

  bool Contains(std::string_view smallLetters) const;
  bool Empty() const { return words_ == 0; }

  // The system's word list, mapped once at the first call (threads may call at once); an
  // empty lexicon when the list is missing or unreadable.
  static const Lexicon& Installed();

 private:
  struct Mapped {};
  Lexicon(const char* file, Mapped);
  std::string_view WordAt(std::uint32_t place) const;

  struct Unmap {
    std::size_t Bytes;
    void operator()(std::uint32_t* p) const;
  };
  std::string_view text_;
  std::unique_ptr<std::uint32_t[], Unmap> table_;  // places in text_ plus one, 0 where none
  std::size_t size_ = 0;
  std::size_t words_ = 0;
  bool mapped_ = false;
};

bool IsLetter(char c);
// Small letters, a first capital allowed; or capitals only.
bool OneCase(std::string_view w);

// For every word of letters (the letters between a word's leading and trailing signs, at
// least three, all small but perhaps the first, or all capitals) that the lexicon does not
// hold, the reading that changes at most two letters to others among their three best, each
// scoring within kLexiconMargin of its best, the lexicon holds and costs the least score, is
// moved to the front. Rejected characters end a word's letters.
// The lexicon is asked for only when a word needs it: reading digits never loads it.
// Reading applies it to pictures of at least kLexiconCharacters characters (pages).
void ApplyLexicon(PictureReading& reading, const std::function<const Lexicon&()>& lexicon);

}  // namespace morvik
