#include "reading/stroke_letters.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "core/median.h"
#include "reading/word_context.h"

namespace morvik {

namespace {

// Small letters that neither rise above the x-height nor hang below the baseline.
bool XHeightLetter(char c) {
  return c != 0 && std::strchr("acemnorsuvwxz", c) != nullptr;
}

bool StemSign(char c) {
  return c != 0 && std::strchr("j1I|![]()li", c) != nullptr;
}

// Signs that stand at a word's ends as themselves on the baseline: ! ends a word, a capital
// I begins one (brackets and parentheses hang below the baseline).
bool SignAtEnd(char c, bool first, bool last) {
  return (c == 'I' && first) || (c == '!' && last);
}

// How dark (dark on light) or light a pixel is: 0 for the ground's extreme.
int InkAt(const GreyImage& grey, int x, int y, bool darkOnLight) {
  return darkOnLight ? 255 - grey.At(x, y) : grey.At(x, y);
}

// Whether a row of faint ink parts a dot from the stem: from half an x-height above the
// x-height's top (the box's top when higher) down to that top, the strongest ink of some row
// of the box's columns is under two thirds of the stem's, with strong ink above it. Ink is measured
// against the faintest pixel of the box and a column either side.
bool DotOverStem(const GreyImage& grey, const CharBox& b, int xTop, int xHeight, bool darkOnLight) {
  const int left = std::max(0, b.Left - 1), right = std::min(grey.Width, b.Left + b.Width + 1);
  const int top = std::max(0, std::min(b.Top, xTop - xHeight / 2));
  const int bottom = std::min(grey.Height, b.Top + b.Height);
  if (left >= right || xTop <= top || xTop >= bottom) return false;
  auto inkAt = [&](int x, int y) { return InkAt(grey, x, y, darkOnLight); };
  int ground = 255;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) ground = std::min(ground, inkAt(x, y));
  std::vector<int> rows;
  for (int y = top; y < bottom; ++y) {
    int most = 0;
    for (int x = std::max(0, b.Left); x < std::min(grey.Width, b.Left + b.Width); ++x)
      most = std::max(most, inkAt(x, y) - ground);
    rows.push_back(most);
  }
  const int stem = UpperMedian(std::vector<int>(rows.begin() + (xTop + 1 - top), rows.end()));
  bool dot = false;
  for (int y = top; y <= xTop; ++y) {
    const int ink = rows[static_cast<std::size_t>(y - top)];
    if (3 * ink >= 2 * stem)
      dot = true;
    else if (dot)
      return true;
  }
  return false;
}

// The match that shows `want`: from the three best, else the library's first admitted
// reference of it, the best's set first. Set -1 when the library holds none.
LibraryMatch MatchOf(const ReadCharacter& c, char want, const ReferenceLibrary& library,
                     const CharFilter& filter) {
  for (const LibraryMatch& m : c.Best)
    if (m.No != 0 && m.Char == want) return m;
  const int own = c.Best[0].Set;
  const int sets = static_cast<int>(library.Sets.size());
  for (int k = -1; k < sets; ++k) {
    const int s = k < 0 ? own : k;
    if (s < 0 || s >= sets || (k >= 0 && s == own)) continue;
    const CharMapState& chars = library.Sets[static_cast<std::size_t>(s)].Chars;
    for (int no = 1; no <= 40; ++no)
      if (chars.CharMap[static_cast<std::size_t>(no)] == want && IsCandidate(filter, chars, no))
        return {s, no, c.Best[0].Score, want, 0};
  }
  return {};
}

void PutFirst(ReadCharacter& c, const LibraryMatch& m) {
  auto at = std::find_if(c.Best.begin(), c.Best.end(),
                         [&](const LibraryMatch& b) { return b.No != 0 && b.Char == m.Char; });
  if (at == c.Best.end()) {
    at = c.Best.end() - 1;
    *at = m;
  }
  std::rotate(c.Best.begin(), at, at + 1);
}

struct Context {
  const std::vector<LineModel>& Models;
  const GreyImage& Grey;
  bool DarkOnLight;
  // The x-heights of the lines holding a comma whose tail the binarisation kept.
  const std::vector<int>& InkedTails;
};

// Whether a cross-bar at the x-height's top runs out from the stem: some row from a row
// above that top to a row below it holds more pixels of strong ink (half the box's strongest
// or more) than the narrowest row of the stem's middle, by a sixth of the x-height or one.
bool CrossBar(const GreyImage& grey, const CharBox& b, const LineModel& m, bool darkOnLight) {
  const int left = std::max(0, b.Left), right = std::min(grey.Width, b.Left + b.Width);
  const int top = std::max(0, b.Top), bottom = std::min(grey.Height, b.Top + b.Height);
  if (left >= right || top >= bottom) return false;
  auto inkAt = [&](int x, int y) { return InkAt(grey, x, y, darkOnLight); };
  int faint = 255, strong = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      faint = std::min(faint, inkAt(x, y)), strong = std::max(strong, inkAt(x, y));
  auto width = [&](int y) {
    int n = 0;
    for (int x = left; x < right; ++x) n += 2 * (inkAt(x, y) - faint) >= strong - faint;
    return n;
  };
  int stem = right - left, bar = 0;
  for (int y = std::max(top, m.XTop + 2); y < std::min(bottom, m.Baseline - 2); ++y)
    stem = std::min(stem, width(y));
  for (int y = std::max(top, m.XTop - 1); y <= std::min(bottom - 1, m.XTop + 1); ++y)
    bar = std::max(bar, width(y));
  return bar >= stem + std::max(1, (m.Baseline - m.XTop) / 6);
}

// The letter a stem sign, an r or a t of the word stands for, or 0 when it is left as read.
// An r rising a little above the x-height is a t whose cross-bar the cut lost (an r's arm
// ends at the x-height); a t or stem rising well above it is a t with a cross-bar, an i
// with a dot, else an l.
// A P hanging below the baseline is a p. Small tells whether the word's other characters are
// small letters.
char StemLetter(const std::vector<ReadCharacter*>& word, std::size_t k, bool small,
                const Context& at) {
  const ReadCharacter& c = *word[k];
  const char shown = ShownChar(c);
  const bool unread = !c.Blank && c.Best[0].No == 0;
  const bool stem = (StemSign(shown) && !SignAtEnd(shown, k == 0, k + 1 == word.size())) || unread;
  if (!stem && shown != 'r' && shown != 't' && shown != 'P') return 0;
  const LineModel& m = at.Models[static_cast<std::size_t>(c.Line)];
  if (!m.Valid) return 0;
  const int xHeight = m.Baseline - m.XTop;
  const CharBox& b = c.Box;
  const bool onBaseline = std::abs(b.Top + b.Height - m.Baseline) <= std::max(1, xHeight / 6);
  // Outside a word of small letters (is, fi) only a parted dot over a stem on the baseline,
  // rising well above the x-height, says what it is: an i.
  if (!small)
    return stem && !unread && onBaseline && m.XTop - b.Top >= std::max(2, xHeight / 3) &&
                   DotOverStem(at.Grey, b, m.XTop, xHeight, at.DarkOnLight)
               ? 'i'
               : 0;
  // A hairline stem (the t and i of small serif print) samples too thin to match anything;
  // only a narrow one is taken for a stem.
  if (unread && 2 * b.Width > xHeight) return 0;
  // A capital P stands on the baseline, a p hangs below it.
  if (shown == 'P') return b.Top + b.Height - m.Baseline >= std::max(2, xHeight / 4) ? 'p' : 0;
  if (!onBaseline) return 0;
  const int rise = m.XTop - b.Top;
  if (shown == 'r') return rise >= std::max(1, xHeight / 7) && rise < xHeight / 2 ? 't' : 0;
  const bool dot = DotOverStem(at.Grey, b, m.XTop, xHeight, at.DarkOnLight);
  // An unread stem rising a little above the x-height is a t: an l or a dotted i rises more.
  if (unread && !dot && rise >= std::max(1, xHeight / 7) && rise < std::max(2, xHeight / 3))
    return 't';
  if (rise < std::max(2, xHeight / 3))
    // A stem no higher than the x-height whose dot the cut left apart.
    return stem && std::abs(rise) <= std::max(1, xHeight / 6) && dot ? 'i' : 0;
  if (dot) return 'i';
  if (CrossBar(at.Grey, b, m, at.DarkOnLight)) return 't';
  // A t is shorter than the ascenders in most faces; only one as tall is taken for an l, so
  // that a slanted cross-bar the box's columns miss keeps its t.
  return shown != 't' || (m.Ascenders && b.Top <= m.AscenderTop) ? 'l' : 0;
}

// The parts of a word between the signs that join words into names (- _ . / : ~), each
// character with its place in the word: ke1sby-too1s_3.6.0.deb holds words of letters.
using Part = std::vector<std::pair<ReadCharacter*, std::size_t>>;
std::vector<Part> PartsOf(const std::vector<ReadCharacter*>& word) {
  std::vector<Part> parts(1);
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (std::strchr("-_./:~", ShownChar(*word[k])) != nullptr) {
      if (!parts.back().empty()) parts.emplace_back();
      continue;
    }
    parts.back().emplace_back(word[k], k);
  }
  return parts;
}

// Whether the run of letters and figures around chars[at] (10 of ops@10.0.3.17) holds a
// figure, and besides chars[at] nothing but figures and their look-alikes (O o I l).
bool InFigures(const std::vector<ReadCharacter*>& chars, std::size_t at) {
  const auto alnum = [&](std::size_t k) {
    return std::isalnum(static_cast<unsigned char>(ShownChar(*chars[k]))) != 0;
  };
  std::size_t from = at, to = at + 1;
  while (from > 0 && alnum(from - 1)) --from;
  while (to < chars.size() && alnum(to)) ++to;
  bool figure = false;
  for (std::size_t k = from; k < to; ++k) {
    const char c = ShownChar(*chars[k]);
    if (k == at) continue;
    if (std::isdigit(static_cast<unsigned char>(c))) {
      figure = true;
    } else if (std::strchr("OoIl", c) == nullptr) {
      return false;
    }
  }
  return figure;
}

std::vector<ReadCharacter*> Chars(const Part& part) {
  std::vector<ReadCharacter*> chars;
  for (const auto& [c, k] : part) chars.push_back(c);
  return chars;
}

// Whether the row under a box, below the baseline, holds faint ink (a quarter of the box's
// strongest or more, over the faintest of the box and a column either side): the tail of a
// small comma, which the binarisation cut off and left a dot.
bool TailBelow(const GreyImage& grey, const CharBox& b, int baseline, bool darkOnLight) {
  const int row = b.Top + b.Height;
  const int left = std::max(0, b.Left - 1), right = std::min(grey.Width, b.Left + b.Width + 1);
  if (row < baseline || row >= grey.Height || b.Top < 0 || left >= right) return false;
  const auto inkAt = [&](int x, int y) { return InkAt(grey, x, y, darkOnLight); };
  int ground = 255, strong = 0, tail = 0;
  for (int y = b.Top; y <= row; ++y)
    for (int x = left; x < right; ++x) ground = std::min(ground, inkAt(x, y));
  for (int y = b.Top; y < row; ++y)
    for (int x = left; x < right; ++x) strong = std::max(strong, inkAt(x, y));
  for (int x = left; x < right; ++x) tail = std::max(tail, inkAt(x, row));
  return strong > ground && 4 * (tail - ground) >= strong - ground;
}

// Whether print of this x-height (within a pixel) keeps its commas' tails in the ink: then
// a dot of two rows over faint grey is a full stop whose anti-aliased edge crossed the
// baseline, not a comma that lost its tail.
bool TailsKept(const Context& at, int xHeight) {
  return std::any_of(at.InkedTails.begin(), at.InkedTails.end(),
                     [&](int h) { return std::abs(h - xHeight) <= 1; });
}

// The x-heights of the lines that hold a comma of three rows or more reaching below their
// baseline, its top below the x-height's middle.
std::vector<int> InkedTails(const PictureReading& reading, const std::vector<LineModel>& models) {
  std::vector<int> heights;
  for (const ReadCharacter& c : reading.Chars) {
    if (c.Line < 0 || c.Blank || c.Rejected || ShownChar(c) != ',') continue;
    const LineModel& m = models[static_cast<std::size_t>(c.Line)];
    const CharBox& b = c.Box;
    const int xHeight = m.Baseline - m.XTop;
    if (m.Valid && b.Height >= 3 && b.Top + b.Height > m.Baseline && 2 * (b.Top - m.XTop) > xHeight)
      heights.push_back(xHeight);
  }
  return heights;
}

// A low mark (' ` * . and a small r) whose top lies below the x-height's middle is a comma
// when it reaches below the baseline, in the ink or (a full stop) in the grey under it (and is no
// higher than the x-height), else a full stop (no higher than a third of it); either no wider than
// half of it. A quote stands high, and an r's top at the x-height.
char LowMark(const ReadCharacter& c, const Context& at) {
  if (std::strchr("'`*.r", ShownChar(c)) == nullptr) return 0;
  const LineModel& m = at.Models[static_cast<std::size_t>(c.Line)];
  if (!m.Valid) return 0;
  const int xHeight = m.Baseline - m.XTop;
  const CharBox& b = c.Box;
  // Only a mark of two rows at most loses its tail so: larger print keeps it in the ink. A
  // full stop read as such may sit a row low (a mono face's), and only its grey tells.
  const bool tail =
      b.Height <= 2 && !TailsKept(at, xHeight) && TailBelow(at.Grey, b, m.Baseline, at.DarkOnLight);
  const bool below = ShownChar(c) == '.' ? tail : b.Top + b.Height > m.Baseline || tail;
  if (2 * (b.Top - m.XTop) <= xHeight || 2 * b.Width > xHeight) return 0;
  if (below) return b.Height <= xHeight ? ',' : 0;
  return 3 * b.Height <= xHeight ? '.' : 0;
}

// A letter whose capital differs from its small letter only in size (c o s v w x z) is the
// capital when it stands on the baseline and rises above the x-height by a third of it, or
// (screen sizes, where hinting leaves capitals a quarter above the x-height) by two pixels
// and more than half as far as the line's other capitals; the small letter when its top lies
// at the x-height's top (within a sixth of it). Round small letters overshoot by a pixel.
char CaseBySize(const ReadCharacter& c, const Context& at) {
  const char shown = ShownChar(c);
  if (std::strchr("cosvwxzCOSVWXZ", shown) == nullptr) return 0;
  const LineModel& m = at.Models[static_cast<std::size_t>(c.Line)];
  if (!m.Valid) return 0;
  const int xHeight = m.Baseline - m.XTop, slack = std::max(1, xHeight / 6);
  const CharBox& b = c.Box;
  if (std::abs(b.Top + b.Height - m.Baseline) > slack) return 0;
  const int rise = m.XTop - b.Top;
  const bool likeCapitals = m.Capitals && rise >= 2 && 2 * rise > m.XTop - m.CapitalTop;
  if (rise >= std::max(2, xHeight / 3) || likeCapitals)
    return static_cast<char>(std::toupper(static_cast<unsigned char>(shown)));
  return std::abs(rise) <= slack
             ? static_cast<char>(std::tolower(static_cast<unsigned char>(shown)))
             : 0;
}

// How the middle third of a box's columns is inked in rows [top, bottom), against the
// strongest ink of the box over its faintest: Closed when some row is strong (half the
// strongest or more) in all of them, Open when every row is weak (under a third) in one.
struct MiddleRows {
  bool Closed = false, Open = true;
};
MiddleRows MiddleOf(const GreyImage& grey, const CharBox& b, int top, int bottom,
                    bool darkOnLight) {
  const int third = b.Width / 3;
  int faint = 255, strong = 0;
  for (int y = b.Top; y < b.Top + b.Height; ++y)
    for (int x = b.Left; x < b.Left + b.Width; ++x) {
      faint = std::min(faint, InkAt(grey, x, y, darkOnLight));
      strong = std::max(strong, InkAt(grey, x, y, darkOnLight));
    }
  MiddleRows m;
  for (int y = top; y < bottom; ++y) {
    int least = 255;
    for (int x = b.Left + third; x < b.Left + b.Width - third; ++x)
      least = std::min(least, InkAt(grey, x, y, darkOnLight) - faint);
    m.Closed = m.Closed || 2 * least >= strong - faint;
    m.Open = m.Open && 3 * least < strong - faint;
  }
  return m;
}

// An n and a u differ in where their arch closes: an n is closed across the middle of its
// top quarter and open in its bottom one (the foot serifs reach into the middle, not across
// it), a u the other way round.
char ArchSide(const ReadCharacter& c, const Context& at) {
  const char shown = ShownChar(c);
  const CharBox& b = c.Box;
  if ((shown != 'n' && shown != 'u') || b.Width < 3 || b.Height < 4 || b.Left < 0 || b.Top < 0 ||
      b.Left + b.Width > at.Grey.Width || b.Top + b.Height > at.Grey.Height)
    return 0;
  const int band = std::max(1, b.Height / 4), bottom = b.Top + b.Height;
  const MiddleRows top = MiddleOf(at.Grey, b, b.Top, b.Top + band, at.DarkOnLight);
  const MiddleRows low = MiddleOf(at.Grey, b, bottom - band, bottom, at.DarkOnLight);
  if (top.Closed && low.Open) return 'n';
  if (low.Closed && top.Open) return 'u';
  return 0;
}

// Whether the ink of the upper middle of the box (the rows from a quarter to three fifths of
// its height down; a fifth of the box's strongest ink or more) joins its left quarter to its
// right quarter, pixels touching by a side or a corner, or parted by one pixel of ground in a
// row (a speck of noise in a thin bar): the bar of an e, level or slanted. A c's arc is open
// to the right there, wider.
bool ClosedBar(const GreyImage& grey, const CharBox& b, bool darkOnLight) {
  const int right = b.Left + b.Width, bottom = b.Top + b.Height;
  int strong = 0;
  for (int y = b.Top; y < bottom; ++y)
    for (int x = b.Left; x < right; ++x) strong = std::max(strong, InkAt(grey, x, y, darkOnLight));
  const int top = b.Top + (b.Height + 3) / 4, low = b.Top + 3 * b.Height / 5 + 1;
  const int reach = std::max(1, b.Width / 4), width = b.Width;
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(width * (low - top)), 0);
  std::vector<std::pair<int, int>> todo;
  const auto visit = [&](int x, int y) {
    if (x < b.Left || x >= right || y < top || y >= low) return;
    std::uint8_t& s = seen[static_cast<std::size_t>((y - top) * width + x - b.Left)];
    if (s != 0 || 5 * InkAt(grey, x, y, darkOnLight) < strong) return;
    s = 1;
    todo.emplace_back(x, y);
  };
  for (int y = top; y < low; ++y)
    for (int x = b.Left; x < b.Left + reach; ++x) visit(x, y);
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    if (x >= right - reach) return true;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -2; dx <= 2; ++dx) visit(x + dx, y + dy);
  }
  return false;
}

// An e with a c among its three best is the c where no bar closes its eye (a heavy face's c
// at 150 dpi matches e better).
char EyeBar(const ReadCharacter& c, const Context& at) {
  const CharBox& b = c.Box;
  if (ShownChar(c) != 'e' || b.Width < 5 || b.Height < 5 || b.Left < 0 || b.Top < 0 ||
      b.Left + b.Width > at.Grey.Width || b.Top + b.Height > at.Grey.Height)
    return 0;
  const bool candidate = std::any_of(c.Best.begin() + 1, c.Best.end(), [](const LibraryMatch& m) {
    return m.No != 0 && m.Char == 'c';
  });
  return candidate && !ClosedBar(at.Grey, b, at.DarkOnLight) ? 'c' : 0;
}

// A dash whose top lies on the baseline or below it (a row above it at most) is an
// underscore: a hyphen stands at the x-height's middle.
char LowLine(const ReadCharacter& c, const Context& at) {
  const LineModel& m = at.Models[static_cast<std::size_t>(c.Line)];
  if (ShownChar(c) != '-' || !m.Valid) return 0;
  return c.Box.Top + 1 >= m.Baseline && 3 * c.Box.Height <= m.Baseline - m.XTop ? '_' : 0;
}

// A stem sign (j 1 I | ! [ ] ( ) l i) no wider than a quarter of the x-height (two pixels at
// least) that hangs below the baseline by a quarter of it and rises above the x-height by a
// third of it, with no dot parted from it, is a bar: an l stands on the baseline, and brackets
// and parentheses are wider than their stroke.
char BarSign(const ReadCharacter& c, const Context& at) {
  const LineModel& m = at.Models[static_cast<std::size_t>(c.Line)];
  if (!StemSign(ShownChar(c)) || !m.Valid) return 0;
  const int xHeight = m.Baseline - m.XTop;
  const CharBox& b = c.Box;
  if (b.Width > std::max(2, xHeight / 4) || m.XTop - b.Top < std::max(1, xHeight / 3) ||
      b.Top + b.Height - m.Baseline < std::max(1, xHeight / 4))
    return 0;
  return DotOverStem(at.Grey, b, m.XTop, xHeight, at.DarkOnLight) ? 0 : '|';
}

// An l or I amid figures (1887 read l887, l9l0) is a one, also where the one is not among
// its three best: at small sizes a serif face's one matches its l better than its own
// references, and a number holds no letters but look-alikes.
char FigureStroke(const std::vector<ReadCharacter*>& chars, std::size_t k) {
  const char shown = ShownChar(*chars[k]);
  return (shown == 'l' || shown == 'I') && InFigures(chars, k) ? '1' : 0;
}

// The first rule that settles the k-th character of a part of a word, or 0.
char LetterOf(const std::vector<ReadCharacter*>& chars, std::size_t k, bool small,
              const Context& at) {
  const ReadCharacter& c = *chars[k];
  char letter = LowMark(c, at);
  if (letter == 0) letter = FigureStroke(chars, k);
  if (letter == 0) letter = BarSign(c, at);
  if (letter == 0) letter = StemLetter(chars, k, small, at);
  if (letter == 0) letter = CaseBySize(c, at);
  if (letter == 0) letter = EyeBar(c, at);
  return letter != 0 ? letter : ArchSide(c, at);
}

}  // namespace

LineModel SmallLetterModel(const std::vector<const ReadCharacter*>& line) {
  std::vector<int> bottoms, tops, ascenders, capitals;
  for (const ReadCharacter* c : line) {
    if (c->Blank || c->Box.Empty) continue;
    bottoms.push_back(c->Box.Top + c->Box.Height);
    if (c->Rejected) continue;
    if (XHeightLetter(c->Best[0].Char)) tops.push_back(c->Box.Top);
    if (c->Best[0].Char != 0 && std::strchr("bdhk", c->Best[0].Char) != nullptr)
      ascenders.push_back(c->Box.Top);
    if (c->Best[0].Char != 0 && std::strchr("ABDEFGHKLMNPRTUY", c->Best[0].Char) != nullptr)
      capitals.push_back(c->Box.Top);
  }
  LineModel m;
  m.Ascenders = !ascenders.empty();
  if (m.Ascenders) m.AscenderTop = UpperMedian(ascenders);
  m.Capitals = !capitals.empty();
  if (m.Capitals) m.CapitalTop = UpperMedian(capitals);
  if (tops.size() < 3) return m;
  m.Baseline = UpperMedian(bottoms);
  m.XTop = UpperMedian(tops);
  m.Valid = m.Baseline - m.XTop >= 3;
  return m;
}

void ApplyStrokeLetters(PictureReading& reading, const GreyImage& grey, bool darkOnLight,
                        const ReferenceLibrary& library, const CharFilter& filter, double reject) {
  std::vector<std::vector<const ReadCharacter*>> lines;
  for (const ReadCharacter& c : reading.Chars) {
    if (c.Line < 0) continue;
    if (lines.size() <= static_cast<std::size_t>(c.Line)) lines.resize(c.Line + 1);
    lines[static_cast<std::size_t>(c.Line)].push_back(&c);
  }
  std::vector<LineModel> models;
  for (const auto& line : lines) models.push_back(SmallLetterModel(line));
  const std::vector<int> inkedTails = InkedTails(reading, models);
  const Context at{models, grey, darkOnLight, inkedTails};
  ForEachWord(reading, [&](std::vector<ReadCharacter*>& word) {
    // Decided on the word as read, so one stem never sways another.
    std::vector<char> letters(word.size(), 0);
    for (std::size_t k = 0; k < word.size(); ++k)
      letters[k] = ShownChar(*word[k]) == '.' ? LowMark(*word[k], at) : LowLine(*word[k], at);
    for (const Part& part : PartsOf(word)) {
      const std::vector<ReadCharacter*> chars = Chars(part);
      // A part of letters, or a word of letters joined by signs (build.log).
      // Amid figures, a stroke is a one whatever letters the word holds (10-harbour.conf).
      for (std::size_t k = 0; k < part.size(); ++k)
        letters[part[k].second] =
            LetterOf(chars, k,
                     !InFigures(chars, k) &&
                         (SmallWordAround(chars, k) || SmallWordAround(word, part[k].second)),
                     at);
    }
    for (std::size_t k = 0; k < word.size(); ++k) {
      if (letters[k] == 0 || letters[k] == ShownChar(*word[k])) continue;
      const bool unread = word[k]->Best[0].No == 0;
      const LibraryMatch m = MatchOf(*word[k], letters[k], library, filter);
      if (m.No == 0) continue;
      PutFirst(*word[k], m);
      if (unread) word[k]->Rejected = m.Score < reject;
    }
  });
}

}  // namespace morvik
