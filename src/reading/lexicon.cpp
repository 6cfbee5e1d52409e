#include "reading/lexicon.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

#include "reading/word_context.h"
#include "reading/word_table.h"

namespace morvik {

namespace {

constexpr int kMostChanges = 2;

char Small(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool AllLetters(std::string_view w) {
  return !w.empty() && std::all_of(w.begin(), w.end(), IsLetter);
}

// The place that stands for a first l read as the capital I it looks like: serif faces at
// small sizes and sans faces draw them alike, so the I is often not among the three best.
constexpr int kCapitalI = 3;

char CharAt(const ReadCharacter& c, int place) {
  return place == kCapitalI ? 'I' : c.Best[static_cast<std::size_t>(place)].Char;
}

struct Search {
  const Lexicon& Words;
  const std::vector<ReadCharacter*>& Letters;
  bool Capitals;
  std::vector<int> Place, BestPlace;
  double BestCost = -1;

  // A candidate letter of the same case as the word, close to the best.
  bool Usable(const ReadCharacter& c, int r, std::size_t k) const {
    const LibraryMatch& m = c.Best[static_cast<std::size_t>(r)];
    if (m.No == 0 || !IsLetter(m.Char) || c.Best[0].Score - m.Score > kLexiconMargin) return false;
    const bool upper = std::isupper(static_cast<unsigned char>(m.Char)) != 0;
    return Capitals ? upper : (k == 0 || !upper);
  }

  void Try(std::size_t k, int changes, double cost) {
    if (BestCost >= 0 && cost >= BestCost) return;
    if (k == Letters.size()) {
      std::string w;
      for (std::size_t i = 0; i < Letters.size(); ++i) w += Small(CharAt(*Letters[i], Place[i]));
      if (changes > 0 && Words.Contains(w)) BestCost = cost, BestPlace = Place;
      return;
    }
    Place[k] = 0;
    Try(k + 1, changes, cost);
    if (changes == kMostChanges) return;
    const ReadCharacter& c = *Letters[k];
    for (int r = 1; r < 3; ++r) {
      if (!Usable(c, r, k)) continue;
      Place[k] = r;
      Try(k + 1, changes + 1, cost + c.Best[0].Score - c.Best[static_cast<std::size_t>(r)].Score);
    }
    // A first l may be the capital I of its shape, costing as much as a change may.
    if (k == 0 && !Capitals && c.Best[0].Char == 'l') {
      Place[k] = kCapitalI;
      Try(k + 1, changes + 1, cost + kLexiconMargin);
    }
    Place[k] = 0;
  }
};

void Settle(std::vector<ReadCharacter*>& word, const std::function<const Lexicon&()>& words) {
  std::size_t first = 0, last = word.size();
  while (first < last && !IsLetter(ShownChar(*word[first]))) ++first;
  while (last > first && !IsLetter(ShownChar(*word[last - 1]))) --last;
  if (last - first < 3) return;
  std::vector<ReadCharacter*> letters(word.begin() + static_cast<std::ptrdiff_t>(first),
                                      word.begin() + static_cast<std::ptrdiff_t>(last));
  std::string read;
  for (const ReadCharacter* c : letters) read += ShownChar(*c);
  if (!AllLetters(read) || !OneCase(read)) return;
  std::string small = read;
  std::transform(small.begin(), small.end(), small.begin(), Small);
  const Lexicon& lexicon = words();
  if (lexicon.Empty() || lexicon.Contains(small)) return;
  const bool capitals = std::isupper(static_cast<unsigned char>(read[1])) != 0;
  Search search{lexicon, letters, capitals, std::vector<int>(letters.size(), 0), {}, -1};
  search.Try(0, 0, 0);
  if (search.BestCost < 0) return;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    auto& best = letters[i]->Best;
    const int r = search.BestPlace[i];
    if (r == kCapitalI)
      best[0].Char = 'I';
    else if (r != 0)
      std::rotate(best.begin(), best.begin() + r, best.begin() + r + 1);
  }
}

}  // namespace

bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool OneCase(std::string_view w) {
  const auto upper = [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; };
  const auto lower = [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; };
  return !w.empty() &&
         (std::all_of(w.begin(), w.end(), upper) || std::all_of(w.begin() + 1, w.end(), lower));
}

namespace {

// FNV-1a of the word in small letters.
std::size_t Hash(std::string_view w) {
  std::size_t h = 1469598103934665603ULL;
  for (char c : w) h = (h ^ static_cast<unsigned char>(Small(c))) * 1099511628211ULL;
  return h;
}

bool SameSmall(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Small(x) == Small(y); });
}

}  // namespace

// The words are kept as offsets (plus one) into the list as given, each ended by its line
// end, in an open-addressed table at most two thirds full, compared in small letters, without
// a copy of the list. Building it costs a few milliseconds for 100 000 words, which a process
// reading one picture pays each time unless a prepared table (word_table.h) is installed.
Lexicon::Lexicon(std::string_view lines) {
  table_.Text = lines;
  const std::size_t count =
      static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')) + 1;
  std::size_t size = 16;
  while (2 * size < 3 * count) size *= 2;
  // Mapped with its pages made at once: touched one by one at random, each would cost two
  // faults (read as the shared zero page, then copied on the first write).
  const std::size_t bytes = size * sizeof(std::uint32_t);
  void* at = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (at == MAP_FAILED) return;
  keep_ = std::make_shared<const Mapping>(at, bytes);
  auto* slots = static_cast<std::uint32_t*>(at);
  table_.Slots = slots;
  table_.Size = size;
  if (lines.size() >= UINT32_MAX) return;
  // Letters as IsLetter has them, looked up instead of asked for each of a million bytes.
  std::array<bool, 256> letter{};
  for (int c = 0; c < 256; ++c)
    letter[static_cast<std::size_t>(c)] = IsLetter(static_cast<char>(c));
  for (std::size_t at = 0; at < lines.size();) {
    const char* line = lines.data() + at;
    const void* end = std::memchr(line, '\n', lines.size() - at);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - line) : lines.size() - at;
    const std::string_view w(line, length);
    const std::size_t next = at + w.size() + 1;
    if (!w.empty() && std::all_of(w.begin(), w.end(),
                                  [&](char c) { return letter[static_cast<unsigned char>(c)]; })) {
      std::size_t i = Hash(w) & (size - 1);
      while (slots[i] != 0 && !SameSmall(table_.WordAt(slots[i]), w)) i = (i + 1) & (size - 1);
      if (slots[i] == 0) slots[i] = static_cast<std::uint32_t>(at + 1), ++table_.Words;
    }
    at = next;
  }
}

Lexicon::Lexicon(const LexiconTable& table, std::shared_ptr<const void> keep)
    : table_(table), keep_(std::move(keep)) {}

std::string_view LexiconTable::WordAt(std::uint32_t place) const {
  const std::size_t at = place - 1;
  if (at >= Text.size()) return {};
  return Text.substr(at, std::min(Text.find('\n', at), Text.size()) - at);
}

// A table read from a file is trusted no further than its bounds: the probes stop after
// every slot was seen, and a place beyond the words is no word.
bool Lexicon::Contains(std::string_view smallLetters) const {
  if (table_.Words == 0 || smallLetters.empty()) return false;
  const std::size_t mask = table_.Size - 1;
  std::size_t i = Hash(smallLetters) & mask;
  for (std::size_t seen = 0; seen < table_.Size && table_.Slots[i] != 0; ++seen, i = (i + 1) & mask)
    if (SameSmall(table_.WordAt(table_.Slots[i]), smallLetters)) return true;
  return false;
}

const Lexicon& Lexicon::Installed() {
  static const Lexicon installed = InstalledLexicon(kWordList, WordTablePlaces());
  return installed;
}

void ApplyLexicon(PictureReading& reading, const std::function<const Lexicon&()>& lexicon) {
  ForEachWord(reading, [&](std::vector<ReadCharacter*>& word) { Settle(word, lexicon); });
}

}  // namespace morvik
