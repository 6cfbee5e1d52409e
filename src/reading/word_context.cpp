#include "reading/word_context.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace morvik {

namespace {

enum class Kind { None, Digit, Small, Capital, Mixed };

Kind KindOf(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (std::isdigit(u)) return Kind::Digit;
  if (std::islower(u)) return Kind::Small;
  if (std::isupper(u)) return Kind::Capital;
  return Kind::None;
}

bool IsLookAlike(char c) {
  return c != 0 && std::strchr("Oo0Il1|", c) != nullptr;
}

// Strokes that stand for an l inside a word of small letters: a digit one, a capital I, a
// bar, and the thin signs an l's stem matches at screen sizes.
bool IsStroke(char c) {
  return c != 0 && std::strchr("1I|!(/", c) != nullptr;
}

// Capitals whose small letter has their shape, told apart only by height, which a word of
// small letters settles.
bool SameShapeCapital(char c) {
  return c != 0 && std::strchr("CKOPSUVWXZ", c) != nullptr;
}

// The place among the best three holding character `want`, or 0 when none does.
int PlaceOf(const ReadCharacter& c, char want) {
  for (int r = 1; r < 3; ++r)
    if (c.Best[r].No != 0 && c.Best[r].Char == want) return r;
  return 0;
}

// The one kind of the word's other characters, look-alikes and signs not counted; None when
// fewer than two count, Mixed when they are of different kinds.
Kind WordKind(const std::vector<ReadCharacter*>& word, std::size_t skip) {
  Kind kind = Kind::None;
  int count = 0;
  for (std::size_t k = 0; k < word.size(); ++k) {
    const char c = ShownChar(*word[k]);
    const Kind own = KindOf(c);
    if (k == skip || own == Kind::None || IsLookAlike(c)) continue;
    if (kind != Kind::None && own != kind) return Kind::Mixed;
    kind = own;
    ++count;
  }
  return count >= 2 ? kind : Kind::None;
}

// The figure a letter of a look-alike pair stands for among figures.
char FigureOf(char c) {
  if (c == 'l' || c == 'I') return '1';
  return c == 'O' || c == 'o' ? '0' : 0;
}

// In a part of a word between signs (a number of a version, an address, a file name; not
// the whole word) that holds a figure and no letter but look-alikes, an l, I, O or o is the figure
// among its three best: 10-harbour.conf and 10.0.3.17 lose their ones to l's otherwise, since the
// part's figures are look-alikes themselves.
void SettleFigureParts(const std::vector<ReadCharacter*>& word, std::vector<int>& choice) {
  std::size_t from = 0;
  while (from < word.size()) {
    std::size_t to = from;
    bool figure = false, letter = false;
    for (; to < word.size(); ++to) {
      const char c = ShownChar(*word[to]);
      if (!std::isalnum(static_cast<unsigned char>(c))) break;
      figure = figure || std::isdigit(static_cast<unsigned char>(c));
      letter = letter || (FigureOf(c) == 0 && std::isalpha(static_cast<unsigned char>(c)));
    }
    // A whole word of figures and look-alikes is left to the rules above.
    const bool part = to - from < word.size();
    for (std::size_t k = from; part && figure && !letter && k < to; ++k) {
      const ReadCharacter& c = *word[k];
      const char want = FigureOf(ShownChar(c));
      if (c.Rejected) continue;
      // Its figures stay figures, whatever letters the rest of the word holds.
      choice[k] = want != 0 ? PlaceOf(c, want) : 0;
    }
    from = to + 1;
  }
}

void Settle(std::vector<ReadCharacter*>& word) {
  // Decided on the word as read, so one look-alike never sways another.
  std::vector<int> choice(word.size(), 0);
  for (std::size_t k = 0; k < word.size(); ++k) {
    const ReadCharacter& c = *word[k];
    if (c.Blank || c.Rejected) continue;
    const char best = c.Best[0].Char;
    if (IsStroke(best) || SameShapeCapital(best)) {
      // Only inside a word of small letters: a capital may begin one.
      if (k > 0 || (IsStroke(best) && best != 'I')) {
        if (SmallWordAround(word, k)) {
          const int r = PlaceOf(c, IsStroke(best) ? 'l' : static_cast<char>(std::tolower(best)));
          if (r != 0) {
            choice[k] = r;
            continue;
          }
        }
      }
    }
    if (!IsLookAlike(best)) continue;
    const Kind kind = WordKind(word, k);
    // A digit stays a digit: codes mix digits into words of capitals far more often than a
    // number holds a letter O or I.
    const Kind own = KindOf(c.Best[0].Char);
    if (kind == Kind::None || kind == Kind::Mixed || own == kind || own == Kind::Digit) continue;
    for (int r = 1; r < 3; ++r)
      if (c.Best[r].No != 0 && IsLookAlike(c.Best[r].Char) && KindOf(c.Best[r].Char) == kind) {
        choice[k] = r;
        break;
      }
  }
  SettleFigureParts(word, choice);
  for (std::size_t k = 0; k < word.size(); ++k)
    if (choice[k] != 0)
      std::rotate(word[k]->Best.begin(), word[k]->Best.begin() + choice[k],
                  word[k]->Best.begin() + choice[k] + 1);
}

}  // namespace

bool SmallWordAround(const std::vector<ReadCharacter*>& word, std::size_t skip) {
  int count = 0;
  for (std::size_t k = 0; k < word.size(); ++k) {
    const char c = ShownChar(*word[k]);
    const Kind own = KindOf(c);
    if (k == skip || own == Kind::None || IsLookAlike(c) || (k == 0 && own == Kind::Capital))
      continue;
    if (own != Kind::Small) return false;
    ++count;
  }
  return count >= 2;
}

void ForEachWord(PictureReading& reading,
                 const std::function<void(std::vector<ReadCharacter*>&)>& settle) {
  std::vector<ReadCharacter*> word;
  for (std::size_t i = 0; i <= reading.Chars.size(); ++i) {
    ReadCharacter* c = i < reading.Chars.size() ? &reading.Chars[i] : nullptr;
    const bool ends = !c || (!word.empty() && (c->Line != word.back()->Line ||
                                               c->Column != word.back()->Column + 1 || c->Blank));
    if (ends && !word.empty()) {
      settle(word);
      word.clear();
    }
    if (c && !c->Blank) word.push_back(c);
  }
}

void ApplyWordContext(PictureReading& reading) {
  ForEachWord(reading, Settle);
}

}  // namespace morvik
