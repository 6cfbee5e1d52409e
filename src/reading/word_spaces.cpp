#include "reading/word_spaces.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/median.h"
#include "segment/grid.h"

namespace morvik {

namespace {

// A word space is 0.25 to 0.35 of the typical height in common fonts (the height mixes
// capitals and small letters), the gaps between letters 0.05 to 0.15.
constexpr long double kSpaceStep = 0.2L;
constexpr long double kSpaceFloor = 0.23L;
constexpr long double kCellGap = 0.8L;
constexpr long double kSpaceCeiling = 0.3L;

struct Split {
  long double Start = 0;   // the least value of the wider class; 0 for no split
  long double Narrow = 0;  // the mean of the narrower class
};

// The two-class split of the sorted values with the least spread within the classes, kept
// when the classes' means differ by step or more.
Split TwoClasses(const std::vector<long double>& v, long double step) {
  const std::size_t n = v.size();
  std::vector<long double> sum(n + 1, 0), squares(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    sum[i + 1] = sum[i] + v[i];
    squares[i + 1] = squares[i] + v[i] * v[i];
  }
  auto spread = [&](std::size_t from, std::size_t to) {
    const long double s = sum[to] - sum[from], count = static_cast<long double>(to - from);
    return squares[to] - squares[from] - s * s / count;
  };
  std::size_t best = 0;
  long double least = 0;
  for (std::size_t k = 1; k < n; ++k) {
    if (v[k] == v[k - 1]) continue;
    const long double s = spread(0, k) + spread(k, n);
    if (best == 0 || s < least) best = k, least = s;
  }
  if (best == 0) return {};
  const long double narrow = sum[best] / best, wide = (sum[n] - sum[best]) / (n - best);
  return wide - narrow >= step ? Split{v[best], narrow} : Split{};
}

// Where the word spaces begin, 0 when the gaps do not fall in two classes. A table row's
// cell gaps would take the word spaces into the narrower class: a split whose wider class
// begins beyond any word space (kCellGap) is repeated on the narrower class, unless the
// classes it finds there are letter gaps.
long double SpaceStart(std::vector<long double> gaps, long double height) {
  std::sort(gaps.begin(), gaps.end());
  Split split = TwoClasses(gaps, kSpaceStep * height);
  while (split.Start > kCellGap * height) {
    gaps.erase(std::lower_bound(gaps.begin(), gaps.end(), split.Start), gaps.end());
    const Split within = TwoClasses(gaps, kSpaceStep * height);
    // Beginning below any word space, the split parts letter gaps: the wider class was the
    // word spaces, stretched in a justified narrow column.
    if (within.Start < kSpaceFloor * height) break;
    split = within;
  }
  if (split.Start == 0) return 0;
  // The letter gaps counted at most 0.15 h: capitals and round letters leave wide ones.
  // A gap of 0.3 heights is a space whatever the classes (a J's hook or a figure's bearing
  // narrows a space beside it below the wider class), in print large enough that letters
  // never stand 6 pixels apart.
  return std::min(
      std::max(kSpaceCeiling * height, 6.0L),
      std::max(split.Start, std::min(split.Narrow, 0.15L * height) + kSpaceFloor * height));
}

bool IsDigit(const RecognizedBox& b) {
  return b.Best[0].No != 0 && std::isdigit(static_cast<unsigned char>(b.Best[0].Char));
}

bool IsPoint(const RecognizedBox& b) {
  return b.Best[0].No != 0 && b.Best[0].Char == '.';
}

// Per box, the part of a figure's side bearing that is not space: figures share one width
// (tabular figures), so a narrow one (a 1) stands amid wide bearings of its own.
std::vector<long double> FigureBearings(const std::vector<RecognizedBox>& line) {
  std::vector<long double> widths, bearing(line.size(), 0);
  for (const RecognizedBox& b : line)
    if (IsDigit(b)) widths.push_back(b.Box.Width);
  if (widths.size() < 2) return bearing;
  const long double width = UpperMedian(widths);
  for (std::size_t i = 0; i < line.size(); ++i)
    if (IsDigit(line[i]) && line[i].Box.Width < width) bearing[i] = (width - line[i].Box.Width) / 2;
  return bearing;
}

// The part of the gap after a box that its own ink overhangs: an f's hook reaches over the
// next letter within a word, so the gap after it to a word's first letter is narrowed by as
// much as the hook reaches past the stem.
long double Overhang(const RecognizedBox& b) {
  constexpr long double kHookReach = 0.25L;
  return b.Best[0].No != 0 && b.Best[0].Char == 'f' ? kHookReach * b.Box.Width : 0;
}

long double Centre(const CharBox& b) {
  return b.Left + b.Width / 2.0L;
}

// The cells of a monospaced line: Pitch wide, the first centred at Origin.
struct PitchGrid {
  long double Pitch = 0, Origin = 0;
};

// The cells a box covers (touching letters span several) and the centre of its first.
long double CellsOf(const CharBox& b, long double pitch) {
  // Most boxes fill one cell: rounding (a library call for long double) only for the others.
  const long double cells = b.Width / pitch;
  return cells < 1.5L ? 1.0L : std::round(cells);
}

long double FirstCellCentre(const CharBox& b, long double pitch) {
  return Centre(b) - (CellsOf(b, pitch) - 1) * pitch / 2;
}

// How much further apart, in pitches, the centres of boxes i - 1 and i stand than the cells
// they span: a whole number on a monospaced line (0 within words, 1 per space).
long double SpareCells(const std::vector<RecognizedBox>& line,
                       const std::vector<long double>& distances, std::size_t i,
                       long double pitch) {
  return distances[i - 1] / pitch -
         (CellsOf(line[i - 1].Box, pitch) + CellsOf(line[i].Box, pitch)) / 2;
}

// Monospaced when at least 70% of the centre distances below 1.5 pitches lie within 10% of
// the pitch and letters outnumber digits (tabular figures of proportional fonts have a
// pitch of their own, and their spaces are narrower than a figure). A gap of about half a
// cell is a proportional face's word space: bold titles and buttons at screen size, whose
// pixel-rounded letters are nearly even, would otherwise lose it.
bool Monospaced(const std::vector<RecognizedBox>& line, const std::vector<long double>& distances,
                long double pitch) {
  std::size_t close = 0, within = 0, digits = 0;
  for (long double d : distances) {
    if (d >= 1.5L * pitch) continue;
    ++within;
    close += d >= 0.9L * pitch && d <= 1.1L * pitch;
  }
  for (const RecognizedBox& b : line) digits += IsDigit(b);
  for (std::size_t i = 1; i < line.size(); ++i) {
    const long double spare = SpareCells(line, distances, i, pitch);
    if (spare >= 0.3L && spare <= 0.7L) return false;
  }
  return within >= 6 && 10 * close >= 7 * within && 2 * digits < line.size();
}

// The point of the unit circle at the phase of x on a grid of this pitch. x is first taken
// modulo the pitch (exactly) and then to the nearest quarter turn, so cos and sin see angles
// within an eighth of a turn: at hundreds of turns they would reduce the angle themselves,
// which costs far more than the rest of the spacing.
void PhasePoint(long double x, long double pitch, long double& c, long double& s) {
  const long double quarters = 4 * std::fmod(x, pitch) / pitch;  // (-4, 4)
  const long double nearest = std::round(quarters);
  const long double angle = (quarters - nearest) * std::acos(0.0L);
  const long double ca = std::cos(angle), sa = std::sin(angle);
  switch ((static_cast<int>(nearest) % 4 + 4) % 4) {
    case 0:
      c = ca, s = sa;
      break;
    case 1:
      c = -sa, s = ca;
      break;
    case 2:
      c = -ca, s = -sa;
      break;
    default:
      c = sa, s = -ca;
      break;
  }
}

// The phase of the grid of this pitch that holds the most first-cell centres: their circular
// mean.
long double GridOrigin(const std::vector<RecognizedBox>& line, long double pitch) {
  const long double turn = 2 * std::acos(-1.0L) / pitch;
  long double c = 0, s = 0;
  for (const RecognizedBox& b : line) {
    long double bc = 0, bs = 0;
    PhasePoint(FirstCellCentre(b.Box, pitch), pitch, bc, bs);
    c += bc;
    s += bs;
  }
  return std::atan2(s, c) / turn;
}

// How many first-cell centres lie within `within` pitches of the grid.
std::size_t OnGrid(const std::vector<RecognizedBox>& line, const PitchGrid& grid,
                   long double within) {
  std::size_t on = 0;
  for (const RecognizedBox& b : line) {
    const long double off = (FirstCellCentre(b.Box, grid.Pitch) - grid.Origin) / grid.Pitch;
    on += std::fabs(off - std::round(off)) <= within;
  }
  return on;
}

// Within this of a rounding boundary, double arithmetic may decide otherwise than the long
// double above: far above their differences here (below 1e-12), far below any real gap.
constexpr double kNearBoundary = 1e-9;

// The counts of the tenths of the turn that MostWithinArc takes in long double, each count at
// least as large, in double precision (the division and rounding of extended precision cost
// far more, for every box at every pitch tried): a phase near a tenth's border counts in the
// tenths either side. False, the counts unfinished, where a box's cell count lies near a
// rounding boundary, where double precision could count another cell.
bool TenthsAtLeast(const std::vector<RecognizedBox>& line, long double pitch,
                   std::array<std::size_t, 10>& tenths) {
  const double p = static_cast<double>(pitch);
  for (const RecognizedBox& b : line) {
    const double cells = b.Box.Width / p;
    const double half = cells - std::floor(cells) - 0.5;
    if (std::fabs(cells - 1.5) < kNearBoundary || std::fabs(half) < kNearBoundary) return false;
    const double whole = cells < 1.5 ? 1.0 : std::floor(cells + 0.5);  // not near a half
    const double turns = (b.Box.Left + b.Box.Width / 2.0 - (whole - 1) * p / 2) / p;
    const double tenth = 10 * (turns - std::floor(turns));
    const double below = std::floor(tenth);
    const std::size_t k = static_cast<std::size_t>(below) % 10;
    ++tenths[k];
    if (tenth - below < kNearBoundary) ++tenths[(k + 9) % 10];
    if (below + 1 - tenth < kNearBoundary) ++tenths[(k + 1) % 10];
  }
  return true;
}

// The most phases any five consecutive tenths hold.
std::size_t FullestFive(const std::array<std::size_t, 10>& tenths) {
  std::size_t fullest = 0;
  for (std::size_t k = 0; k < 10; ++k) {
    std::size_t five = 0;
    for (std::size_t j = 0; j < 5; ++j) five += tenths[(k + j) % 10];
    fullest = std::max(fullest, five);
  }
  return fullest;
}

// At least as many first-cell centres as OnGrid(line, grid, 0.2) finds for any origin: the
// most phases (fractions of a pitch) that one arc of 0.4 pitches holds, the arc widened a
// little so that rounding in OnGrid's arithmetic cannot make it count more; or, when that is
// plainly below `needed`, a coarser count no smaller. Far cheaper than the circular mean, and
// below the 90% rule for nearly every pitch of a proportional line.
std::size_t MostWithinArc(const std::vector<RecognizedBox>& line, long double pitch,
                          std::size_t needed, std::vector<long double>& phases) {
  std::array<std::size_t, 10> tenths{};
  if (TenthsAtLeast(line, pitch, tenths)) {
    const std::size_t coarse = FullestFive(tenths);
    if (coarse < needed) return coarse;
  }
  phases.clear();
  for (const RecognizedBox& b : line) {
    const long double turns = FirstCellCentre(b.Box, pitch) / pitch;
    phases.push_back(turns - std::floor(turns));
  }
  // Any such arc lies within five consecutive tenths of the turn: when no five hold enough
  // phases, the exact count (a sort) is not needed.
  tenths.fill(0);
  for (const long double phase : phases) ++tenths[static_cast<std::size_t>(10 * phase) % 10];
  const std::size_t fullest = FullestFive(tenths);
  if (fullest < needed) return fullest;
  std::sort(phases.begin(), phases.end());
  const std::size_t n = phases.size();
  constexpr long double kArc = 0.4L + 1e-9L;
  std::size_t most = 0, end = 0;
  for (std::size_t first = 0; first < n; ++first) {
    // The arc [phases[first], phases[first] + kArc], going round past 1 into the next turn.
    end = std::max(end, first);
    auto at = [&](std::size_t k) { return k < n ? phases[k] : phases[k - n] + 1; };
    while (end < first + n && at(end) <= phases[first] + kArc) ++end;
    most = std::max(most, end - first);
  }
  return most;
}

// The grid of a monospaced line whose ink centres wander within their cells (the glyphs of a
// typewriter face sit off centre, pixels round them at low resolution), so that the distance
// rule of Monospaced misses it: the pitch within a fifth of the median distance (spaces and
// wide signs move the median) under which 90% of twelve or more boxes sit within a fifth of a
// pitch of one grid, and 75% within 0.15 of a pitch: shorter proportional lines, and screen
// headings whose pixel-rounded widths are nearly even, fit such a grid only loosely. Letters
// must outnumber digits as there.
PitchGrid FitGrid(const std::vector<RecognizedBox>& line, long double median) {
  std::size_t digits = 0;
  for (const RecognizedBox& b : line) digits += IsDigit(b);
  if (line.size() < 12 || 2 * digits >= line.size()) return {};
  // The fewest boxes on the grid that can pass the 90% rule: a pitch that cannot hold as
  // many can be neither the answer nor the first of the most, so its origin is not sought.
  const std::size_t needed = (9 * line.size() + 9) / 10;
  PitchGrid best;
  std::size_t most = 0;
  std::vector<long double> phases;
  for (int step = -40; step <= 40; ++step) {
    const long double pitch = median * (1 + step / 200.0L);
    if (MostWithinArc(line, pitch, needed, phases) < needed) continue;
    const PitchGrid grid{pitch, GridOrigin(line, pitch)};
    const std::size_t on = OnGrid(line, grid, 0.2L);
    if (on > most) most = on, best = grid;
  }
  return 10 * most >= 9 * line.size() && 4 * OnGrid(line, best, 0.15L) >= 3 * line.size()
             ? best
             : PitchGrid{};
}

// Spaces where a whole cell between two boxes is empty.
void SetGridSpaces(std::vector<RecognizedBox>& line, const PitchGrid& grid) {
  auto cell = [&](const CharBox& b) {
    return std::round((FirstCellCentre(b, grid.Pitch) - grid.Origin) / grid.Pitch);
  };
  for (std::size_t i = 1; i < line.size(); ++i)
    line[i].Box.SpaceBefore =
        cell(line[i].Box) - cell(line[i - 1].Box) - CellsOf(line[i - 1].Box, grid.Pitch) >= 1;
}

// The grid of a line whose boxes sit on one (the first rule of SetWordSpaces), else none.
PitchGrid GridOf(const std::vector<RecognizedBox>& line) {
  if (line.size() < 4) return {};
  std::vector<long double> distances;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i].Box.Empty) return {};
    if (i > 0) distances.push_back(Centre(line[i].Box) - Centre(line[i - 1].Box));
  }
  const long double pitch = UpperMedian(distances);
  return pitch > 0 ? FitGrid(line, pitch) : PitchGrid{};
}

// A box cut at the borders of the cells it spans, each piece its ink and read anew; the box
// itself when a piece would hold no ink or read no better than the box (a wide capital of a
// typewriter face, its serifs reaching into the next cells, reads poorly in halves).
std::vector<RecognizedBox> CellPieces(const BinaryImage& ink, const RecognizedBox& whole,
                                      const PitchGrid& grid, const BoxRecognizer& recognize) {
  const CharBox& b = whole.Box;
  const int cells = static_cast<int>(CellsOf(b, grid.Pitch));
  const long double first = FirstCellCentre(b, grid.Pitch);
  std::vector<RecognizedBox> pieces;
  int left = b.Left;
  for (int k = 1; k <= cells; ++k) {
    const int right = k == cells ? b.Left + b.Width
                                 : static_cast<int>(std::lround(first + (k - 0.5L) * grid.Pitch));
    const Rect piece =
        right > left ? InkBox(ink, Rect{left, b.Top, right - left, b.Height}) : Rect{};
    if (piece.Width <= 0 || piece.Height <= 0) return {whole};
    RecognizedBox r;
    r.Box =
        CharBox{piece.Left, piece.Top, piece.Width, piece.Height, k == 1 && b.SpaceBefore, false};
    pieces.push_back(r);
    left = right;
  }
  for (RecognizedBox& r : pieces) {
    r.Best = recognize(r.Box);
    if (r.Best[0].Score <= whole.Best[0].Score) return {whole};
  }
  return pieces;
}

}  // namespace

void SetWordSpaces(std::vector<RecognizedBox>& line) {
  SetWordSpaces(line, LineGrid{});
}

void SetWordSpaces(std::vector<RecognizedBox>& line, const LineGrid& known) {
  if (line.size() < 4) return;
  std::vector<long double> heights;
  for (const RecognizedBox& b : line) {
    if (b.Box.Empty) return;
    heights.push_back(b.Box.Height);
  }
  // The spaces scale with the letters, not with the line's reach from ascenders to descenders.
  const long double height = UpperMedian(heights);
  std::vector<long double> gaps, distances;
  const std::vector<long double> bearing = FigureBearings(line);
  for (std::size_t i = 1; i < line.size(); ++i) {
    gaps.push_back(line[i].Box.Left - (line[i - 1].Box.Left + line[i - 1].Box.Width) -
                   bearing[i - 1] - bearing[i] + Overhang(line[i - 1]));
    distances.push_back(Centre(line[i].Box) - Centre(line[i - 1].Box));
  }
  const long double pitch = UpperMedian(distances);
  // The same grid as GridOf's: the same boxes, the same median distance.
  const PitchGrid grid = known.Known ? PitchGrid{known.Pitch, known.Origin}
                         : pitch > 0 ? FitGrid(line, pitch)
                                     : PitchGrid{};
  if (grid.Pitch > 0) {
    SetGridSpaces(line, grid);
  } else if (pitch > 0 && Monospaced(line, distances, pitch)) {
    // A box may span cells (touching letters): a space adds half a pitch or more to the
    // distance its cells leave between the centres.
    for (std::size_t i = 1; i < line.size(); ++i)
      line[i].Box.SpaceBefore = SpareCells(line, distances, i, pitch) > 0.5L;
  } else {
    const long double from = SpaceStart(gaps, height);
    if (from > 0) {
      for (std::size_t i = 1; i < line.size(); ++i) line[i].Box.SpaceBefore = gaps[i - 1] >= from;
    }
  }
  // A point between digits joins them: a version, a size, a time.
  for (std::size_t i = 1; i + 1 < line.size(); ++i)
    if (IsPoint(line[i]) && IsDigit(line[i - 1]) && IsDigit(line[i + 1]))
      line[i].Box.SpaceBefore = line[i + 1].Box.SpaceBefore = false;
}

LineGrid CutGridSpans(const BinaryImage& ink, std::vector<RecognizedBox>& line,
                      const BoxRecognizer& recognize) {
  const PitchGrid grid = GridOf(line);
  if (grid.Pitch <= 0) return LineGrid{true, 0, 0};
  std::vector<RecognizedBox> cut;
  for (const RecognizedBox& r : line) {
    if (CellsOf(r.Box, grid.Pitch) < 2) {
      cut.push_back(r);
      continue;
    }
    for (RecognizedBox& piece : CellPieces(ink, r, grid, recognize)) cut.push_back(piece);
  }
  const bool same = cut.size() == line.size();
  line = std::move(cut);
  return LineGrid{same, grid.Pitch, grid.Origin};
}

}  // namespace morvik
