#include "reading/line_marks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "core/median.h"
#include "reading/character_height.h"

namespace morvik {

namespace {

int Baseline(const std::vector<CharBox>& chars) {
  std::vector<int> bottoms;
  for (const CharBox& c : chars)
    if (!c.Empty) bottoms.push_back(c.Top + c.Height);
  return bottoms.empty() ? 0 : UpperMedian(bottoms);
}

// Moves the first of the three best whose character `wanted` accepts to the front; whether
// there was one.
template <typename Wanted>
bool MoveToFront(std::array<LibraryMatch, 3>& best, Wanted wanted) {
  const auto found = std::find_if(
      best.begin(), best.end(), [&](const LibraryMatch& m) { return m.No != 0 && wanted(m.Char); });
  if (found == best.end()) return false;
  std::rotate(best.begin(), found, found + 1);
  return true;
}

void Prefer(ReadCharacter& c, char want) {
  MoveToFront(c.Best, [&](char read) { return read == want; });
}

// A small dot is cut a pixel wider than high where its grey edge crosses the threshold: at
// 150 dpi a full stop of 9 pt type is 3 x 2 pixels beside capitals 11 high.
void PreferStop(ReadCharacter& c, int cap, int baseline) {
  const CharBox& b = c.Box;
  if (c.Blank || c.Rejected || 4 * b.Height > cap || 3 * b.Width > cap) return;
  const int bottom = b.Top + b.Height;
  if (std::abs(bottom - baseline) > std::max(1, cap / 8)) return;
  // Wider than a quarter, it may be a small comma whose tail reaches below the baseline.
  if (4 * b.Width > cap && bottom > baseline) return;
  Prefer(c, '.');
}

// A comma hangs from the baseline; the same tick in the upper half of the capitals is a quote.
void PreferQuote(ReadCharacter& c, int cap, int baseline) {
  const CharBox& b = c.Box;
  if (c.Blank || c.Rejected || c.Best[0].Char != ',') return;
  if (2 * (baseline - (b.Top + b.Height)) >= cap) Prefer(c, '\'');
}

// A tick of a double quote: read as a single quote, or a small mark standing in the upper
// half of the capitals (no higher than half of them, no wider than a third), whatever it was
// read as: apart, a typewriter face's ticks read as ' and r, or , and '.
bool IsTick(const RecognizedBox& r, int cap, int baseline) {
  const CharBox& b = r.Box;
  if (b.Empty || r.Best[0].No == 0) return false;
  const bool raised = cap > 0 && 2 * (baseline - (b.Top + b.Height)) >= cap &&
                      2 * b.Height <= cap && 3 * b.Width <= cap;
  return raised || r.Best[0].Char == '\'';
}

bool TicksPair(const CharBox& a, const CharBox& b) {
  const int level = std::max(1, std::max(a.Height, b.Height) / 4);
  const int gap = b.Left - (a.Left + a.Width);
  return !b.SpaceBefore && gap >= 0 && gap <= std::max(a.Width, b.Width) &&
         std::abs(a.Top - b.Top) <= level && std::abs(a.Height - b.Height) <= level;
}

// A dot no higher than a quarter of the capitals and no wider than a third whose columns
// reach into the next letter's (no space between them) with its bottom within the letter's
// rows: a piece of that letter broken off where a thin stroke fell below the threshold (a
// serif s at 150 dpi reads .s or .v). A full stop stands clear of the letter after it; one
// after a letter is left alone, since a slanted letter reaches over its own full stop.
bool StrayDot(const RecognizedBox& dot, const RecognizedBox& letter, int cap) {
  const CharBox &d = dot.Box, &l = letter.Box;
  const char read = dot.Best[0].Char;
  if (d.Empty || l.Empty || dot.Best[0].No == 0 || (read != '.' && read != ',')) return false;
  if (4 * d.Height > cap || 3 * d.Width > cap || l.SpaceBefore) return false;
  const int bottom = d.Top + d.Height;
  return d.Left + d.Width > l.Left && bottom > l.Top && bottom <= l.Top + l.Height;
}

// The box covering a and b, with a's space before it.
CharBox Covering(const CharBox& a, const CharBox& b) {
  CharBox u = a;
  u.Left = std::min(a.Left, b.Left);
  u.Top = std::min(a.Top, b.Top);
  u.Width = std::max(a.Left + a.Width, b.Left + b.Width) - u.Left;
  u.Height = std::max(a.Top + a.Height, b.Top + b.Height) - u.Top;
  return u;
}

// Two small marks (each no higher than a quarter of the capitals, no wider than a third) side
// by side with no space between, their columns overlapping and one above the other: the dots
// of a colon or a semicolon, cut apart where a lean or a pixel's rounding set them off by a
// column.
bool StackedDots(const RecognizedBox& a, const RecognizedBox& b, int cap) {
  const CharBox &p = a.Box, &q = b.Box;
  const auto small = [&](const RecognizedBox& r) {
    return !r.Box.Empty && r.Best[0].No != 0 && 4 * r.Box.Height <= cap && 3 * r.Box.Width <= cap;
  };
  if (!small(a) || !small(b) || q.SpaceBefore) return false;
  const bool overlap = std::max(p.Left, q.Left) < std::min(p.Left + p.Width, q.Left + q.Width);
  return overlap && (p.Top + p.Height < q.Top || q.Top + q.Height < p.Top);
}

// Every pair of neighbours that `pair` accepts (given the line's capital height) recognised
// again as one box covering both, which replaces them where `take` accepts it (given the
// second of the pair; it may reorder the box's best).
void JoinPairs(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize,
               bool (*pair)(const RecognizedBox&, const RecognizedBox&, int),
               bool (*take)(RecognizedBox&, const RecognizedBox&)) {
  std::vector<CharBox> boxes;
  for (const RecognizedBox& r : line) boxes.push_back(r.Box);
  const int cap = LineCapHeight(boxes);
  if (cap <= 0) return;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (!pair(line[i], line[i + 1], cap)) continue;
    RecognizedBox joined{Covering(line[i].Box, line[i + 1].Box), {}};
    joined.Best = recognize(joined.Box);
    if (!take(joined, line[i + 1])) continue;
    line[i] = joined;
    line.erase(line.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  }
}

// A one no higher than three quarters of the capitals, right after a letter with no space
// between: a figure one rises to the capitals, so this is a stem of the letter before it cut
// off (a small serif h read t1).
bool ShortOne(const RecognizedBox& letter, const RecognizedBox& one, int cap) {
  return !letter.Box.Empty && !one.Box.Empty && !one.Box.SpaceBefore && one.Best[0].No != 0 &&
         one.Best[0].Char == '1' && letter.Best[0].No != 0 &&
         std::isalpha(static_cast<unsigned char>(letter.Best[0].Char)) != 0 &&
         4 * one.Box.Height <= 3 * cap;
}

// Whether a joined box reads as a letter (or a figure, where `figures`) scoring above the
// piece it took in.
bool ReadsBetter(const RecognizedBox& joined, const RecognizedBox& piece, bool figures) {
  const unsigned char c = static_cast<unsigned char>(joined.Best[0].Char);
  return joined.Best[0].No != 0 && (figures ? std::isalnum(c) : std::isalpha(c)) != 0 &&
         joined.Best[0].Score > piece.Best[0].Score;
}

}  // namespace

void JoinShortOnes(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize) {
  JoinPairs(line, recognize, ShortOne, [](RecognizedBox& joined, const RecognizedBox& one) {
    return ReadsBetter(joined, one, false);
  });
}

void JoinStackedDots(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize) {
  JoinPairs(line, recognize, StackedDots, [](RecognizedBox& joined, const RecognizedBox&) {
    return MoveToFront(joined.Best, [](char read) { return read == ':' || read == ';'; });
  });
}

void JoinStrayDots(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize) {
  JoinPairs(line, recognize, StrayDot, [](RecognizedBox& joined, const RecognizedBox& letter) {
    return ReadsBetter(joined, letter, true);
  });
}

void JoinQuoteTicks(std::vector<RecognizedBox>& line, const BoxRecognizer& recognize) {
  std::vector<CharBox> boxes;
  for (const RecognizedBox& r : line) boxes.push_back(r.Box);
  const int cap = LineCapHeight(boxes), baseline = Baseline(boxes);
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (!IsTick(line[i], cap, baseline) || !IsTick(line[i + 1], cap, baseline) ||
        !TicksPair(line[i].Box, line[i + 1].Box))
      continue;
    RecognizedBox joined{Covering(line[i].Box, line[i + 1].Box), {}};
    joined.Best = recognize(joined.Box);
    if (!MoveToFront(joined.Best, [](char read) { return read == '"'; })) continue;
    line[i] = joined;
    line.erase(line.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  }
}

void ApplyLineMarks(PictureReading& reading) {
  std::size_t first = 0;
  while (first < reading.Chars.size()) {
    std::size_t end = first;
    std::vector<CharBox> boxes;
    while (end < reading.Chars.size() && reading.Chars[end].Line == reading.Chars[first].Line)
      boxes.push_back(reading.Chars[end++].Box);
    const int cap = LineCapHeight(boxes), baseline = Baseline(boxes);
    if (cap > 0)
      for (std::size_t k = first; k < end; ++k) {
        PreferStop(reading.Chars[k], cap, baseline);
        PreferQuote(reading.Chars[k], cap, baseline);
      }
    first = end;
  }
}

}  // namespace morvik
