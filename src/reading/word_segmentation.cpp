#include "reading/word_segmentation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "reading/ligatures.h"
#include "segment/grid.h"
#include "segment/split.h"

namespace morvik {

namespace {

// The most consecutive pieces one character may span, and the most cuts tried inside one box.
constexpr int kMaxSpan = 5;
constexpr std::size_t kMaxCuts = 4;

// In typical widths: the widest character joined from several boxes (an m broken in two is
// about 1.6; two letters of a monospaced face are 2).
constexpr double kJoinWidth = 1.7;
// The widest character joined from boxes the segmenter cut out of one blot of ink (each box
// starting where the one before ends): the m of a wide face is two typical widths or more, and
// cut at its middle stem reads as n and l.
constexpr double kAbuttingJoinWidth = 2.3;

// The most segmentations kept per piece boundary: the lexicon chooses among the best of them.
constexpr std::size_t kKeptPaths = 16;
// Rounding room in typical widths when comparing a bound with a value summed another way.
constexpr double kSlack = 1e-6;

// One piece of the over-segmented word: its ink, the columns it stands for and its box.
struct Segment {
  Rect Ink;
  int From = 0, To = 0;  // columns [From, To): the piece's weight in the word
  int Box = 0;           // index of the segmenter's box within the word
};

Rect RectOf(const CharBox& b) {
  return Rect{b.Left, b.Top, b.Width, b.Height};
}

double ScoreOf(const std::array<LibraryMatch, 3>& best) {
  return best[0].No == 0 ? 0.0 : best[0].Score;
}

bool TooWide(const CharBox& b, int pitch) {
  return 2 * b.Width > 3 * pitch && 10 * b.Width >= 8 * b.Height;
}

bool WideLetter(const LibraryMatch& best) {
  return best.No != 0 && best.Char != 0 && std::strchr("MWmw", best.Char) != nullptr;
}

bool ClearWideLetter(const LibraryMatch& best) {
  return WideLetter(best) && best.Score >= kClearScore;
}

// A mark (half the word's height and half the typical width at most) beside another may be one
// of several that make one sign: the two ticks of a double quote.
bool Mark(const CharBox& b, int pitch, int tallest) {
  return 2 * b.Width <= pitch && 2 * b.Height <= tallest;
}

int Tallest(const std::vector<RecognizedBox>& word) {
  int tallest = 1;
  for (const RecognizedBox& r : word) tallest = std::max(tallest, r.Box.Height);
  return tallest;
}

// Per box of the word: whether it is a mark, and whether it is suspect (reads poorly, is too
// wide, or is a mark beside another).
// Whole: boxes kept whole though suspect (joined, not cut).
struct Flags {
  std::vector<bool> Mark, Suspect, Whole;
};

Flags FlagsOf(const std::vector<RecognizedBox>& word, int pitch) {
  Flags f;
  const int tallest = Tallest(word);
  for (const RecognizedBox& r : word) f.Mark.push_back(Mark(r.Box, pitch, tallest));
  for (std::size_t k = 0; k < word.size(); ++k) {
    const bool pair =
        f.Mark[k] && ((k > 0 && f.Mark[k - 1]) || (k + 1 < word.size() && f.Mark[k + 1]));
    f.Suspect.push_back(pair || ScoreOf(word[k].Best) < kPoorScore ||
                        (TooWide(word[k].Box, pitch) && !ClearWideLetter(word[k].Best[0])));
  }
  return f;
}

// Where touching letters meet: a column of little ink between more, or a valley of the upper
// contour (letters joined at the baseline) or of the lower one (joined at the top).
// Rows count from the box's top, which lies at row `top` of the picture.
bool CutCandidate(const std::vector<InkColumn>& c, std::size_t x, int height, int top) {
  const InkColumn &l = c[x - 1], &m = c[x], &r = c[x + 1];
  if (m.Ink == 0 || 2 * m.Ink > height) return m.Ink == 0;
  const bool inkMinimum = m.Ink <= l.Ink && m.Ink <= r.Ink;
  const bool topValley = m.First >= l.First && m.First >= r.First && top + m.First > 0 &&
                         (m.First > l.First || m.First > r.First);
  const bool bottomValley = m.Last <= l.Last && m.Last <= r.Last && l.Last >= 0 && r.Last >= 0 &&
                            (m.Last < l.Last || m.Last < r.Last);
  return inkMinimum || topValley || bottomValley;
}

// Where a thin stroke ends against the round side of the next letter: the flag of an r
// touching an e or an a at its top, or a foot joining the next letter at the baseline. The
// column before x holds little ink in the upper or lower third only, and x reaches a third of
// the height further down (or up) without spanning three quarters of it, as the stem an arch
// of m or n meets would. Cutting in the stroke's middle (an ink minimum) leaves half of it on
// either letter; cutting at its end gives each letter its own ink. Ranked by the stroke's ink.
bool StrokeEnd(const std::vector<InkColumn>& c, std::size_t x, int height) {
  const InkColumn &l = c[x - 1], &m = c[x];
  if (l.Ink == 0 || m.Ink == 0 || 4 * l.Ink > height) return false;
  const bool stem = 4 * (m.Last - m.First + 1) >= 3 * height;
  const bool fromTop = !stem && 3 * (l.Last + 1) <= height && 3 * (m.Last - l.Last) >= height;
  const bool fromBottom = 3 * l.First >= 2 * height && 3 * (l.First - m.First) >= height;
  return fromTop || fromBottom;
}

// Up to kMaxCuts columns (absolute, ascending) to cut the box at, least ink first, apart from
// each other, leaving at least two columns on either side.
std::vector<int> CandidateCuts(const BinaryImage& ink, const CharBox& b) {
  const std::vector<InkColumn> cols = InkColumns(ink, RectOf(b));
  std::vector<std::pair<int, int>> found;  // ink, column
  for (int x = 2; x + 2 <= b.Width; ++x) {
    const auto at = static_cast<std::size_t>(x);
    if (CutCandidate(cols, at, b.Height, b.Top))
      found.push_back({cols[at].Ink, x});
    else if (StrokeEnd(cols, at, b.Height))
      found.push_back({cols[at - 1].Ink, x});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& c) { return a.first < c.first; });
  std::vector<int> cuts;
  const int apart = std::max(2, b.Height / 8);
  for (const auto& f : found) {
    if (cuts.size() == kMaxCuts) break;
    const int x = f.second;
    if (std::all_of(cuts.begin(), cuts.end(), [&](int c) { return std::abs(c - x) >= apart; }))
      cuts.push_back(x);
  }
  std::sort(cuts.begin(), cuts.end());
  for (int& c : cuts) c += b.Left;
  return cuts;
}

// The box's pieces between its candidate cuts; pieces without ink are joined to the next.
void AddPieces(const BinaryImage& ink, const CharBox& b, int index, std::vector<Segment>& out) {
  std::vector<int> cuts = CandidateCuts(ink, b);
  cuts.push_back(b.Left + b.Width);
  int left = b.Left;
  const std::size_t first = out.size();
  for (const int right : cuts) {
    const Rect piece = InkBox(ink, Rect{left, b.Top, right - left, b.Height});
    if (piece.Width == 0) continue;
    out.push_back(Segment{piece, left, right, index});
    left = right;
  }
  if (out.size() > first) out.back().To = b.Left + b.Width;
  if (out.size() - first <= 1) {  // no cut left: the box as it was
    out.resize(first);
    out.push_back(Segment{RectOf(b), b.Left, b.Left + b.Width, index});
  }
}

// One segmentation of a word: its value and its recognised pieces.
struct WordReading {
  double Value = 0;
  std::vector<RecognizedBox> Pieces;
};

// The letters one recognised piece reads as; '?' when rejected.
std::string CharOf(const RecognizedBox& r) {
  return r.Best[0].No == 0 || r.Best[0].Char == 0 ? std::string("?") : LettersOf(r.Best[0].Char);
}

// A segmentation of a word up to one piece boundary: its value, and the boundary and rank of
// the segmentation it extends by Piece.
// Text is what it reads so far: of two that read the same, only the better is kept, so that
// the kept ones differ in what they read, not only in where they cut.
struct Partial {
  double Value = 0;
  std::size_t From = 0, Rank = 0;
  RecognizedBox Piece;
  std::string Text;
};

// Keeps the kKeptPaths best that read differently, best first.
void Keep(std::vector<Partial>& kept, Partial p) {
  if (kept.size() == kKeptPaths && kept.back().Value >= p.Value) return;
  const auto same =
      std::find_if(kept.begin(), kept.end(), [&](const Partial& q) { return q.Text == p.Text; });
  if (same != kept.end()) {
    if (same->Value >= p.Value) return;
    kept.erase(same);
  }
  const auto at = std::upper_bound(kept.begin(), kept.end(), p.Value,
                                   [](double v, const Partial& q) { return v > q.Value; });
  kept.insert(at, std::move(p));
  if (kept.size() > kKeptPaths) kept.pop_back();
}

// One word of the line being segmented again.
class WordSearch {
 public:
  WordSearch(const BinaryImage& ink, const std::vector<RecognizedBox>& word, int pitch,
             const Flags& flags, const BoxRecognizer& recognize, std::size_t crossingPieces)
      : word_(word),
        pitch_(pitch),
        crossingPieces_(crossingPieces),
        recognize_(recognize),
        suspect_(flags.Suspect),
        mark_(flags.Mark) {
    for (std::size_t k = 0; k < word.size(); ++k) {
      const CharBox& b = word[k].Box;
      const bool whole = !flags.Whole.empty() && flags.Whole[k];
      if (suspect_[k] && !whole && b.Width >= std::max(4, pitch)) {
        AddPieces(ink, b, static_cast<int>(k), segments_);
      } else {
        segments_.push_back(Segment{RectOf(b), b.Left, b.Left + b.Width, static_cast<int>(k)});
      }
    }
    spans_ = Spans();
    asCut_ = AsCutSuffix();
  }

  // The segmentations of the word, best first: at most kKeptPaths, and of those only the ones
  // worth within `within` of the best are sure to be there (pass the margin the caller
  // chooses in). Spans that cannot make such a segmentation are not recognised, and none is
  // recognised twice however often the word is searched: a first search with no margin
  // finds the best, whose value (`reached`) then bounds a wider one.
  std::vector<WordReading> Best(double within,
                                double reached = -std::numeric_limits<double>::infinity()) {
    const std::size_t n = segments_.size();
    // The values of spans earlier searches read bound this one tighter.
    const std::vector<double> reach = Reach(spans_);
    std::vector<std::vector<Partial>> kept(n + 1);
    kept[0].push_back(Partial{});
    // Never above the best segmentation's value: one found, completed by the segmenter's
    // boxes, or the best of an earlier search.
    double found = std::max(asCut_[0], reached);
    for (std::size_t j = 1; j <= n; ++j) {
      const double least = found - within - kSlack * pitch_;
      for (Shaped& s : spans_[j]) {
        const std::size_t i = s.From;
        if (kept[i].empty() || kept[i].front().Value + Most(s) + reach[j] < least) continue;
        if (!s.Read) {
          s.Value = Value(s, s.Piece);
          s.Read = true;
        }
        const RecognizedBox& r = s.Piece;
        const double v = s.Value;
        for (std::size_t rank = 0; rank < kept[i].size(); ++rank) {
          if (kept[i][rank].Value + v + reach[j] < least) break;
          Keep(kept[j],
               Partial{kept[i][rank].Value + v, i, rank, r, kept[i][rank].Text + CharOf(r)});
        }
      }
      if (!kept[j].empty() && !std::isnan(asCut_[j]))
        found = std::max(found, kept[j].front().Value + asCut_[j]);
    }
    std::vector<WordReading> out;
    for (std::size_t rank = 0; rank < kept[n].size(); ++rank) {
      WordReading s{kept[n][rank].Value, {}};
      for (std::size_t j = n, k = rank; j > 0;) {
        const Partial& p = kept[j][k];
        s.Pieces.push_back(p.Piece);
        j = p.From;
        k = p.Rank;
      }
      std::reverse(s.Pieces.begin(), s.Pieces.end());
      s.Pieces.front().Box.SpaceBefore = word_.front().Box.SpaceBefore;
      out.push_back(std::move(s));
    }
    return out;
  }

 private:
  // The segmenter's box that segments [i, j) make up exactly; -1 when they make up none.
  int WholeBox(std::size_t i, std::size_t j) const {
    const int box = segments_[i].Box;
    if (segments_[j - 1].Box != box) return -1;
    if (i > 0 && segments_[i - 1].Box == box) return -1;
    if (j < segments_.size() && segments_[j].Box == box) return -1;
    return box;
  }

  // What a span [From, To) of segments is before it is recognised.
  struct Shaped {
    std::size_t From = 0, To = 0;
    int Weight = 0;  // the columns it stands for
    int Whole = -1;  // the segmenter's box it makes up exactly, or -1
    Rect Box;
    bool Marks = false, Joins = false;
    // Once recognised (Read): the piece and its value.
    bool Read = false;
    double Value = 0;
    RecognizedBox Piece;
  };

  // Per end j, the spans ending there that may make one character, longest last, in the order
  // the search tries them.
  std::vector<std::vector<Shaped>> Spans() const {
    const std::size_t n = segments_.size();
    std::vector<std::vector<Shaped>> spans(n + 1);
    for (std::size_t j = 1; j <= n; ++j)
      for (std::size_t i = j; i-- > 0 && (j - i <= kMaxSpan || JoinsTwoBoxes(i, j));) {
        Shaped s;
        if (ShapeOf(i, j, s)) spans[j].push_back(s);
      }
    return spans;
  }

  // Whether segments [i, j) may make one character, and if so their shape.
  bool ShapeOf(std::size_t i, std::size_t j, Shaped& s) const {
    s.From = i;
    s.To = j;
    for (std::size_t k = i; k < j; ++k) s.Weight += segments_[k].To - segments_[k].From;
    s.Whole = WholeBox(i, j);
    if (s.Whole >= 0) return true;
    if (LongCrossing(i, j) || FarCrossing(i, j)) return false;
    Rect& box = s.Box;
    bool suspect = false;
    s.Marks = true;
    int tallest = 0;
    for (std::size_t k = i; k < j; ++k) {
      const Segment& g = segments_[k];
      if (k > i && 3 * (g.Ink.Left - box.Right()) > std::max(box.Height, g.Ink.Height))
        return false;  // too far apart to be one character
      box = Union(box, g.Ink);
      suspect = suspect || suspect_[static_cast<std::size_t>(g.Box)];
      s.Marks = s.Marks && mark_[static_cast<std::size_t>(g.Box)];
      tallest = std::max(tallest, word_[static_cast<std::size_t>(g.Box)].Box.Height);
    }
    s.Joins = segments_[i].Box != segments_[j - 1].Box;
    // A piece cut out of a box is half a typical width wide or nearly the box's height: a tail
    // or a serif cut off would read as a comma or a dot.
    const bool cutOut = (i > 0 && segments_[i - 1].Box == segments_[i].Box) ||
                        (j < segments_.size() && segments_[j].Box == segments_[j - 1].Box);
    if (cutOut && 2 * box.Width < pitch_ && 5 * box.Height < 4 * tallest) return false;
    return suspect && box.Width <= 2 * box.Height && box.Width <= 3 * pitch_ &&
           (!s.Joins || box.Width <= JoinWidth(i, j) * pitch_) && 2 * box.Height >= tallest &&
           8 * box.Width >= tallest;
  }

  // The span's value: the columns it stands for times (score - 1), less the cost of a change
  // and of width; `r` the recognised piece.
  double Value(const Shaped& s, RecognizedBox& r) const {
    if (s.Whole >= 0) {
      r = word_[static_cast<std::size_t>(s.Whole)];
      return WholeValue(static_cast<std::size_t>(s.Whole), s.Weight);
    }
    r.Box = CharBox{s.Box.Left, s.Box.Top, s.Box.Width, s.Box.Height, false, false};
    r.Best = recognize_(r.Box);
    double value = s.Weight * (ScoreOf(r.Best) - 1);
    if (!s.Marks) value -= ChangeCost(s.From, s.To, s.Joins, r.Best[0]) + PieceCost(s.Box.Width);
    return value;
  }

  double WholeValue(std::size_t box, int weight) const {
    double value = weight * (ScoreOf(word_[box].Best) - 1);
    if (!mark_[box]) value -= PieceCost(word_[box].Box.Width);
    return value;
  }

  // The most the span's value can be without recognising it: scores are at most 1, and a
  // change is free only where its letter may be wide by nature.
  double Bound(const Shaped& s) const {
    if (s.Whole >= 0) return WholeValue(static_cast<std::size_t>(s.Whole), s.Weight);
    if (s.Marks) return 0;
    const bool free = s.Joins && Abutting(s.From, s.To) && EvenTops(s.From, s.To);
    return -(free ? 0 : kChangeCost * pitch_) - PieceCost(s.Box.Width);
  }

  // The most the span's value can be: its value once read, else its Bound.
  double Most(const Shaped& s) const { return s.Read ? s.Value : Bound(s); }

  // Per segment boundary j, the most the segments from j to the word's end can add (Most),
  // -infinity where they make no character.
  std::vector<double> Reach(const std::vector<std::vector<Shaped>>& spans) const {
    const std::size_t n = segments_.size();
    std::vector<double> reach(n + 1, -std::numeric_limits<double>::infinity());
    reach[n] = 0;
    std::vector<std::vector<const Shaped*>> from(n + 1);
    for (const auto& ending : spans)
      for (const Shaped& s : ending) from[s.From].push_back(&s);
    for (std::size_t i = n; i-- > 0;)
      for (const Shaped* s : from[i]) reach[i] = std::max(reach[i], Most(*s) + reach[s->To]);
    return reach;
  }

  // Per segment boundary, what the segmenter's own boxes from there to the word's end are
  // worth; NaN where a box is cut.
  std::vector<double> AsCutSuffix() const {
    const std::size_t n = segments_.size();
    std::vector<double> value(n + 1, std::numeric_limits<double>::quiet_NaN());
    value[n] = 0;
    for (std::size_t j = n; j-- > 0;) {
      if (j > 0 && segments_[j - 1].Box == segments_[j].Box) continue;
      std::size_t end = j;
      int weight = 0;
      while (end < n && segments_[end].Box == segments_[j].Box)
        weight += segments_[end].To - segments_[end].From, ++end;
      value[j] = value[end] + WholeValue(static_cast<std::size_t>(segments_[j].Box), weight);
    }
    return value;
  }

  // Whether segments [i, j) join a piece cut out of a box to another box and are more than
  // crossingPieces_ (0: any number).
  bool LongCrossing(std::size_t i, std::size_t j) const {
    if (crossingPieces_ == 0 || j - i <= crossingPieces_) return false;
    return Crossing(i, j);
  }

  // Whether segments [i, j) join a piece cut out of a box to another box.
  bool Crossing(std::size_t i, std::size_t j) const {
    if (segments_[i].Box == segments_[j - 1].Box) return false;
    return (i > 0 && segments_[i - 1].Box == segments_[i].Box) ||
           (j < segments_.size() && segments_[j].Box == segments_[j - 1].Box);
  }

  // Whether segments [i, j) join a piece cut out of a box to boxes beyond the next: a cut the
  // segmenter made a little off lies between two boxes. On printed pages such pieces were
  // about one recognition in fifty of the search and almost never read best.
  bool FarCrossing(std::size_t i, std::size_t j) const {
    return segments_[j - 1].Box - segments_[i].Box >= 2 && Crossing(i, j);
  }

  // Whether segments [i, j) make up two whole boxes of the segmenter, or lie within them: a
  // wide letter the segmenter cut in two is tried whole however many pieces the search cut.
  bool JoinsTwoBoxes(std::size_t i, std::size_t j) const {
    const int last = segments_[j - 1].Box;
    if (j < segments_.size() && segments_[j].Box == last) return false;
    return segments_[i].Box >= last - 1;
  }

  // The widest a join of segments [i, j) may be, in typical widths: wider where the
  // segmenter's boxes they come from abut.
  double JoinWidth(std::size_t i, std::size_t j) const {
    return Abutting(i, j) ? kAbuttingJoinWidth : kJoinWidth;
  }

  // Whether each of the segmenter's boxes segments [i, j) come from starts where the one
  // before ends: the segmenter cut them out of one blot of ink.
  bool Abutting(std::size_t i, std::size_t j) const {
    for (std::size_t k = i + 1; k < j; ++k) {
      const CharBox& was = word_[static_cast<std::size_t>(segments_[k - 1].Box)].Box;
      const CharBox& is = word_[static_cast<std::size_t>(segments_[k].Box)].Box;
      if (&was != &is && was.Left + was.Width != is.Left) return false;
    }
    return true;
  }

  // Whether the tops of the segments of [i, j) but marks (less than half the tallest high)
  // lie within a fifth of the tallest one's height of each other: the stems and arches of an
  // m and the strokes of a w start at the x-height, while t and h touching (read as m) rise
  // above it, each to its own height.
  bool EvenTops(std::size_t i, std::size_t j) const {
    int tallest = 0;
    for (std::size_t k = i; k < j; ++k) tallest = std::max(tallest, segments_[k].Ink.Height);
    int highest = std::numeric_limits<int>::max(), lowest = std::numeric_limits<int>::min();
    for (std::size_t k = i; k < j; ++k) {
      const Rect& ink = segments_[k].Ink;
      if (2 * ink.Height < tallest) continue;
      highest = std::min(highest, ink.Top);
      lowest = std::max(lowest, ink.Top);
    }
    return 5 * (lowest - highest) <= tallest;
  }

  // What a piece that differs from the segmenter's boxes costs: nothing where it joins boxes
  // cut out of one blot of ink, their tops even, into a letter wide by nature (the segmenter
  // cuts a wide m at a stem), else kChangeCost typical widths.
  double ChangeCost(std::size_t i, std::size_t j, bool joins, const LibraryMatch& best) const {
    if (joins && Abutting(i, j) && WideLetter(best) && EvenTops(i, j)) return 0;
    return kChangeCost * pitch_;
  }

  // What any piece of this width costs, the bonus of a character counted in.
  double PieceCost(int width) const {
    return kWideCost * std::max(0.0, width - kWideFrom * pitch_) - kCharacterBonus * pitch_;
  }

  const std::vector<RecognizedBox>& word_;
  int pitch_;
  std::size_t crossingPieces_;
  const BoxRecognizer& recognize_;
  std::vector<bool> suspect_, mark_;
  std::vector<Segment> segments_;
  std::vector<std::vector<Shaped>> spans_;
  std::vector<double> asCut_;
};

// Without a typical width, two thirds of the word's tallest box.
int Pitch(const std::vector<RecognizedBox>& word, int typicalWidth) {
  if (typicalWidth > 0) return typicalWidth;
  return std::max(1, 2 * Tallest(word) / 3);
}

// The text a word's boxes read as, ligatures written as their letters; rejected boxes as '?'.
std::string TextOf(const std::vector<RecognizedBox>& word) {
  std::string text;
  for (const RecognizedBox& r : word) text += CharOf(r);
  return text;
}

bool LetterOrDigit(char c) {
  return IsLetter(c) || std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The word without its leading and trailing signs (quotes, stops, a hyphen at a line's end).
// Digits stay: a stem read as 1 at a word's end (warm cut into warn and 1) is part of it.
std::string_view Core(std::string_view text) {
  while (!text.empty() && !LetterOrDigit(text.front())) text.remove_prefix(1);
  while (!text.empty() && !LetterOrDigit(text.back())) text.remove_suffix(1);
  return text;
}

// Whether the core of `text` is a word the lexicon holds: of at least kLexicalLetters letters,
// of one case, each of its parts between hyphens in the lexicon.
bool KnownWord(std::string_view text, const Lexicon& words) {
  const std::string_view core = Core(text);
  if (core.size() < kLexicalLetters) return false;
  for (std::size_t at = 0; at <= core.size();) {
    const std::size_t end = std::min(core.find('-', at), core.size());
    const std::string_view part = core.substr(at, end - at);
    if (part.empty() || !std::all_of(part.begin(), part.end(), IsLetter) || !OneCase(part) ||
        !words.Contains(part))
      return false;
    at = end + 1;
  }
  return true;
}

// Whether `text` could be a word misread: its core is mostly letters, holds no digit but 1
// (a stem, as l reads) nor a sign of codes, and the lexicon does not hold it. Numbers and
// codes are never searched.
bool MisreadWord(std::string_view text, const Lexicon& words) {
  const std::string_view core = Core(text);
  if (core.size() < kLexicalLetters) return false;
  const auto letters = std::count_if(core.begin(), core.end(), IsLetter);
  const bool code = std::any_of(core.begin(), core.end(), [](char c) {
    return (c != '1' && std::isdigit(static_cast<unsigned char>(c)) != 0) ||
           std::strchr("_=<>@#/\\", c);
  });
  return !code && 3 * letters >= 2 * static_cast<long>(core.size()) && !KnownWord(text, words);
}

// Whether the pieces read as a word the lexicon holds with one of them read as its second or
// third best that scores within kLexiconMargin of its best (which then moves to the front).
bool ReadsAsWordWithOneChange(std::vector<RecognizedBox>& pieces, const Lexicon& words) {
  for (RecognizedBox& p : pieces)
    for (std::size_t k = 1; k < p.Best.size(); ++k) {
      const LibraryMatch& m = p.Best[k];
      if (m.No == 0 || m.Char == 0 || p.Best[0].Score - m.Score > kLexiconMargin) continue;
      std::swap(p.Best[0], p.Best[k]);
      if (KnownWord(TextOf(pieces), words)) return true;
      std::swap(p.Best[0], p.Best[k]);
    }
  return false;
}

// Whether the pieces read as a word the lexicon holds with one ligature read as the one it looks
// like, or as the f it may be alone (which then takes its place).
bool ReadsAsWordWithLookAlikeLigature(std::vector<RecognizedBox>& pieces, const Lexicon& words) {
  for (RecognizedBox& p : pieces) {
    const char was = p.Best[0].Char;
    if (p.Best[0].No == 0) continue;
    for (const char alike : {LookAlikeLigature(was), ShorterLigature(was)}) {
      if (alike == 0) continue;
      p.Best[0].Char = alike;
      if (KnownWord(TextOf(pieces), words)) return true;
      p.Best[0].Char = was;
    }
  }
  return false;
}

// The best segmentation; or where that makes no word of the lexicon, the best within
// kLexicalMargin of it that does, failing that (a misread word only) the best that does with
// one close reading changed. A word searched only for the lexicon keeps the segmenter's
// boxes unless a word is found, the best segmentation's own word included.
std::vector<RecognizedBox> Chosen(std::vector<WordReading> readings,
                                  const std::vector<RecognizedBox>& word, int pitch,
                                  const Lexicon* words, bool onlyLexical) {
  const std::string best = TextOf(readings.front().Pieces);
  if (words != nullptr && KnownWord(best, *words)) return std::move(readings.front().Pieces);
  if (words != nullptr) {
    const double least = readings.front().Value - kLexicalMargin * pitch;
    for (WordReading& r : readings)
      if (r.Value >= least && KnownWord(TextOf(r.Pieces), *words)) return std::move(r.Pieces);
    if (MisreadWord(best, *words))
      for (WordReading& r : readings)
        if (r.Value >= least && ReadsAsWordWithOneChange(r.Pieces, *words))
          return std::move(r.Pieces);
  }
  return onlyLexical ? word : std::move(readings.front().Pieces);
}

// Whether the lexicon settles the word without a search (SearchReach::SearchSettledWords):
// then the word is added to `out` as it reads.
bool SettledWithoutSearch(const std::vector<RecognizedBox>& word, int pitch, bool suspect,
                          const Lexicon& words, std::vector<RecognizedBox>& out) {
  std::vector<RecognizedBox> read = word;
  const bool narrow = std::all_of(word.begin(), word.end(), [&](const RecognizedBox& r) {
    return 4 * r.Box.Width <= 5 * pitch;
  });
  const bool settled =
      suspect ? narrow && KnownWord(TextOf(word), words) : ReadsAsWordWithOneChange(read, words);
  if (settled) out.insert(out.end(), read.begin(), read.end());
  return settled;
}

// The boxes that read well (not suspect) and are narrower than 1.1 typical widths.
std::vector<bool> ClearNarrowBoxes(const std::vector<RecognizedBox>& word, const Flags& flags,
                                   int pitch) {
  std::vector<bool> clear;
  for (std::size_t k = 0; k < word.size(); ++k)
    clear.push_back(!flags.Suspect[k] && 10 * word[k].Box.Width < 11 * pitch);
  return clear;
}

void SegmentWord(const BinaryImage& ink, const std::vector<RecognizedBox>& word, int typicalWidth,
                 const BoxRecognizer& recognize, const Lexicon* words, const SearchReach& reach,
                 std::vector<RecognizedBox>& out) {
  const int pitch = Pitch(word, typicalWidth);
  Flags flags = FlagsOf(word, pitch);
  const bool suspect =
      std::any_of(flags.Suspect.begin(), flags.Suspect.end(), [](bool b) { return b; });
  // A word the lexicon does not hold is searched whole: its wrong letter may read well.
  const bool misread = words != nullptr && MisreadWord(TextOf(word), *words);
  if (!suspect && !misread) {
    out.insert(out.end(), word.begin(), word.end());
    return;
  }
  if (!reach.SearchSettledWords && words != nullptr &&
      SettledWithoutSearch(word, pitch, suspect, *words, out))
    return;
  const bool onlyLexical = !suspect;
  if (misread && !reach.CutClearBoxes) flags.Whole = ClearNarrowBoxes(word, flags, pitch);
  if (misread) flags.Suspect.assign(word.size(), true);
  // The best segmentation alone is searched first: where it makes a word of the lexicon (or
  // there is no lexicon), the lesser ones are never looked at.
  WordSearch search(ink, word, pitch, flags, recognize, reach.CrossingPieces);
  std::vector<WordReading> readings = search.Best(0);
  if (words != nullptr && !KnownWord(TextOf(readings.front().Pieces), *words))
    readings = search.Best(kLexicalMargin * pitch, readings.front().Value);
  std::vector<RecognizedBox> chosen = Chosen(std::move(readings), word, pitch, words, onlyLexical);
  if (words != nullptr && !KnownWord(TextOf(chosen), *words))
    ReadsAsWordWithLookAlikeLigature(chosen, *words);
  for (RecognizedBox& r : chosen) out.push_back(std::move(r));
}

}  // namespace

void SegmentWords(const BinaryImage& ink, std::vector<RecognizedBox>& line, int typicalWidth,
                  const BoxRecognizer& recognize, const Lexicon* words, const SearchReach& reach) {
  std::vector<RecognizedBox> out, word;
  const auto flush = [&] {
    if (!word.empty()) SegmentWord(ink, word, typicalWidth, recognize, words, reach, out);
    word.clear();
  };
  for (const RecognizedBox& r : line) {
    if (r.Box.Empty) {
      flush();
      out.push_back(r);
      continue;
    }
    if (r.Box.SpaceBefore) flush();
    word.push_back(r);
  }
  flush();
  line = std::move(out);
}

}  // namespace morvik
