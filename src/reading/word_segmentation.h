// Segmentation decided by recognition: where the characters of a word read poorly or are too
// wide for the line, the word is cut into more pieces than it can hold (at the segmenter's
// boxes and at candidate columns inside suspect boxes), every run of one to a few consecutive
// pieces is recognised once, and a dynamic programme picks the joins and cuts whose readings
// fit best together. A word that reads well and has no box too wide is left exactly as the
// segmenter cut it and costs no further recognition.
#pragma once

#include <vector>

#include "reading/lexicon.h"
#include "reading/recognized_box.h"
#include "segment/binarise.h"

namespace morvik {

// A character whose best score falls below this reads poorly: its word is searched, as is a
// word holding a box 1.5 typical widths wide and at least 0.8 times as wide as high, or two
// marks side by side (each half the word's height and half the typical width at most: the
// ticks of a quote).
constexpr double kPoorScore = 0.15;
// A box too wide that reads at least this well as a letter wide by nature (M, W, m, w) is not
// searched: on clean text those were most of the searches, a recognition per piece each, and
// the search kept them whole.
constexpr double kClearScore = 0.5;

// The value of a segmentation is the sum over its pieces of (score - 1) times the columns each
// stands for, with these costs and bonuses in score times the line's typical width:
// (pieces made only of marks pay none of them: two ticks read as one quote on their scores)
// - a piece that differs from the segmenter's boxes: a new segmentation must read clearly
//   better, so that an m is not read as rn (nor rn as m) without evidence; a wide letter
//   joined from boxes the segmenter cut out of one blot of ink pays none;
constexpr double kChangeCost = 0.4;
// - each character read: scores fall with the width a reference must stretch over, so a box
//   holding two letters reads a little better as one than each letter does alone;
constexpr double kCharacterBonus = 0.2;
// - each column beyond kWideFrom typical widths: a piece that wide likely holds two letters.
constexpr double kWideCost = 0.25;
constexpr double kWideFrom = 1.5;

// With a lexicon (pages), a word of letters that reads clearly but makes no word it holds is
// searched too, and where the best segmentation makes no word, the best that makes one is
// chosen if its value is within this many typical widths of the best: touching letters that
// read well but wrongly (rn as m, li as h). A word still unknown then takes one ligature as
// its look-alike (ligatures.h) where only that makes a word.
constexpr double kLexicalMargin = 1.0;
constexpr std::size_t kLexicalLetters = 3;

// How far the search reaches. On a page's print (scanned, blurred, 100 dpi) every piece
// counts; on a screenshot's rendered text, searched at every recognition's cost, the search
// keeps to the pieces that mend its words:
struct SearchReach {
  // A piece that joins part of a box to another box mends a cut the segmenter made a little
  // off: the two pieces beside the cut make it. Longer ones (0: any) were about a quarter of
  // a screenshot's search and gave no better reading.
  std::size_t CrossingPieces = 0;
  // In a word searched only because the lexicon does not hold it, a box that reads well and is
  // narrower than 1.1 typical widths holds one letter: it may be joined, not cut. Its
  // cuts were a tenth of a screenshot's recognitions.
  bool CutClearBoxes = true;
  // A word the lexicon holds, of boxes at most 1.25 typical widths wide, is taken as cut; one
  // searched only because the lexicon does not hold it, which makes a word it holds with one
  // close reading changed, takes that reading. Both were searched for little else.
  bool SearchSettledWords = true;
};
constexpr SearchReach kScreenReach{2, false, false};

// The line's characters, recognised as the segmenter cut them (`line`, left to right, empty
// cells passed over), with each word (a run without SpaceBefore) that reads poorly or holds a
// box too wide for `typicalWidth` (0: not known) segmented again by recognition. The first
// box of a word keeps its SpaceBefore; `recognize` is asked about each candidate piece once.
void SegmentWords(const BinaryImage& ink, std::vector<RecognizedBox>& line, int typicalWidth,
                  const BoxRecognizer& recognize, const Lexicon* words = nullptr,
                  const SearchReach& reach = {});

}  // namespace morvik
