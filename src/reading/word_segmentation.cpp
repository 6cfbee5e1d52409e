#include "reading/word_segmentation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

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

bool ClearWideLetter(const LibraryMatch& best) {
  return best.No != 0 && best.Score >= kClearScore && best.Char != 0 &&
         std::strchr("MWmw", best.Char) != nullptr;
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
struct Flags {
  std::vector<bool> Mark, Suspect;
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

// Up to kMaxCuts columns (absolute, ascending) to cut the box at, least ink first, apart from
// each other, leaving at least two columns on either side.
std::vector<int> CandidateCuts(const BinaryImage& ink, const CharBox& b) {
  const std::vector<InkColumn> cols = InkColumns(ink, RectOf(b));
  std::vector<std::pair<int, int>> found;  // ink, column
  for (int x = 2; x + 2 <= b.Width; ++x)
    if (CutCandidate(cols, static_cast<std::size_t>(x), b.Height, b.Top))
      found.push_back({cols[static_cast<std::size_t>(x)].Ink, x});
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

// One word of the line being segmented again.
class WordSearch {
 public:
  WordSearch(const BinaryImage& ink, const std::vector<RecognizedBox>& word, int pitch,
             const Flags& flags, const BoxRecognizer& recognize)
      : word_(word),
        pitch_(pitch),
        recognize_(recognize),
        suspect_(flags.Suspect),
        mark_(flags.Mark) {
    for (std::size_t k = 0; k < word.size(); ++k) {
      const CharBox& b = word[k].Box;
      if (suspect_[k] && b.Width >= std::max(4, pitch)) {
        AddPieces(ink, b, static_cast<int>(k), segments_);
      } else {
        segments_.push_back(Segment{RectOf(b), b.Left, b.Left + b.Width, static_cast<int>(k)});
      }
    }
  }

  std::vector<RecognizedBox> Best() {
    const std::size_t n = segments_.size();
    const double none = -std::numeric_limits<double>::infinity();
    std::vector<double> value(n + 1, none);
    std::vector<std::size_t> from(n + 1, 0);
    std::vector<RecognizedBox> piece(n + 1);
    value[0] = 0;
    for (std::size_t j = 1; j <= n; ++j)
      for (std::size_t i = j; i-- > 0 && j - i <= kMaxSpan;) {
        if (value[i] == none) continue;
        RecognizedBox r;
        double v = 0;
        if (!Span(i, j, value[i], value[j], r, v) || value[i] + v <= value[j]) continue;
        value[j] = value[i] + v;
        from[j] = i;
        piece[j] = r;
      }
    std::vector<RecognizedBox> out;
    for (std::size_t j = n; j > 0; j = from[j]) out.push_back(piece[j]);
    std::reverse(out.begin(), out.end());
    out.front().Box.SpaceBefore = word_.front().Box.SpaceBefore;
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

  // Whether segments [i, j) may make one character, and if so the recognised piece and its
  // value: the columns it stands for times (score - 1), less the cost of a change and of width.
  // Scores are at most 1, so a new piece whose costs alone leave the path through it (`from`
  // before it) no better than the `best` one found to its end is not recognised: it could not
  // be chosen.
  bool Span(std::size_t i, std::size_t j, double from, double best, RecognizedBox& r,
            double& value) {
    int weight = 0;
    for (std::size_t k = i; k < j; ++k) weight += segments_[k].To - segments_[k].From;
    const int whole = WholeBox(i, j);
    if (whole >= 0) {
      r = word_[static_cast<std::size_t>(whole)];
      value = weight * (ScoreOf(r.Best) - 1);
      if (!mark_[static_cast<std::size_t>(whole)]) value -= PieceCost(r.Box.Width);
      return true;
    }
    Rect box;
    bool suspect = false, marks = true;
    int tallest = 0;
    for (std::size_t k = i; k < j; ++k) {
      const Segment& s = segments_[k];
      if (k > i && 3 * (s.Ink.Left - box.Right()) > std::max(box.Height, s.Ink.Height))
        return false;  // too far apart to be one character
      box = Union(box, s.Ink);
      suspect = suspect || suspect_[static_cast<std::size_t>(s.Box)];
      marks = marks && mark_[static_cast<std::size_t>(s.Box)];
      tallest = std::max(tallest, word_[static_cast<std::size_t>(s.Box)].Box.Height);
    }
    const bool joins = segments_[i].Box != segments_[j - 1].Box;
    // A piece cut out of a box is half a typical width wide or nearly the box's height: a tail
    // or a serif cut off would read as a comma or a dot.
    const bool cutOut = (i > 0 && segments_[i - 1].Box == segments_[i].Box) ||
                        (j < segments_.size() && segments_[j].Box == segments_[j - 1].Box);
    if (cutOut && 2 * box.Width < pitch_ && 5 * box.Height < 4 * tallest) return false;
    if (!suspect || box.Width > 2 * box.Height || box.Width > 3 * pitch_ ||
        (joins && box.Width > kJoinWidth * pitch_) || 2 * box.Height < tallest ||
        8 * box.Width < tallest)
      return false;
    const double cost = marks ? 0 : kChangeCost * pitch_ + PieceCost(box.Width);
    if (from - cost <= best) return false;
    r.Box = CharBox{box.Left, box.Top, box.Width, box.Height, false, false};
    r.Best = recognize_(r.Box);
    value = weight * (ScoreOf(r.Best) - 1);
    if (!marks) value -= cost;
    return true;
  }

  // What any piece of this width costs, the bonus of a character counted in.
  double PieceCost(int width) const {
    return kWideCost * std::max(0.0, width - kWideFrom * pitch_) - kCharacterBonus * pitch_;
  }

  const std::vector<RecognizedBox>& word_;
  int pitch_;
  const BoxRecognizer& recognize_;
  std::vector<bool> suspect_, mark_;
  std::vector<Segment> segments_;
};

// Without a typical width, two thirds of the word's tallest box.
int Pitch(const std::vector<RecognizedBox>& word, int typicalWidth) {
  if (typicalWidth > 0) return typicalWidth;
  return std::max(1, 2 * Tallest(word) / 3);
}

void SegmentWord(const BinaryImage& ink, const std::vector<RecognizedBox>& word, int typicalWidth,
                 const BoxRecognizer& recognize, std::vector<RecognizedBox>& out) {
  const int pitch = Pitch(word, typicalWidth);
  const Flags flags = FlagsOf(word, pitch);
  if (std::none_of(flags.Suspect.begin(), flags.Suspect.end(), [](bool b) { return b; })) {
    out.insert(out.end(), word.begin(), word.end());
    return;
  }
  for (const RecognizedBox& r : WordSearch(ink, word, pitch, flags, recognize).Best())
    out.push_back(r);
}

}  // namespace

void SegmentWords(const BinaryImage& ink, std::vector<RecognizedBox>& line, int typicalWidth,
                  const BoxRecognizer& recognize) {
  std::vector<RecognizedBox> out, word;
  const auto flush = [&] {
    if (!word.empty()) SegmentWord(ink, word, typicalWidth, recognize, out);
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
