// Telling the stems of l and i apart from the signs they match at screen sizes. A stem two
// or three pixels wide matches j, 1, I, brackets and a bar about as well as l, and an i whose
// dot ran into its stem matches l, a t matches l or r; where the stem stands on its line,
// whether a gap parts a dot from it and whether a cross-bar crosses it say which it is.
#pragma once

#include "library/char_filter.h"
#include "library/reference_library.h"
#include "reading/read_picture.h"
#include "segment/grey_image.h"

namespace morvik {

// The line's model as its small letters show it: the baseline (median bottom) and the top
// of the x-height (median top of the letters without ascenders or descenders). Valid only
// with at least three such letters and an x-height of at least three pixels. The ascenders'
// top (median top of b d h k) is kept where the line has one of them, and the capitals' top
// where it has capitals whose small letters differ in shape.
struct LineModel {
  int Baseline = 0;
  int XTop = 0;
  bool Valid = false;
  int AscenderTop = 0;
  bool Ascenders = false;
  int CapitalTop = 0;  // median top of the capitals without a small twin (A B D E ...)
  bool Capitals = false;
};
LineModel SmallLetterModel(const std::vector<const ReadCharacter*>& line);

// In every word, a stem sign on the baseline rising a third of the x-height above it with a
// dot parted from it is an i. Further, for every character shown as a stem sign (j 1 I | ! [ ] ( )
// l i; ! not last, I not first), a t or an r inside a word whose other characters are small letters
// (as the word context counts them; or inside such a part of a word between the signs - _ . / : ~,
// as in ke1sby-too1s_3.6.0.deb; not amid figures: the run of letters and figures around it
// holding a figure and besides it only figures and O o I l) and standing on its line's baseline:
// - reaching well above the x-height (a third of it): an i when a gap parts a dot from the
//   stem in the grey picture (ink given by darkOnLight), a t when a cross-bar runs out from
//   it at the x-height's top, else an l;
// - a stem sign no higher than the x-height with such a dot over it: an i;
// - an r whose top rises above the x-height by at least a seventh of it (less than half): a t;
// - a P hanging below the baseline by a quarter of the x-height (at least 2 pixels): a p.
// An l or I in a run of letters and figures that holds a figure and besides it only figures and
// O o I l is a one, whether or not a one is among its three best.
// A character that matched nothing and is no wider than half the x-height counts as a stem
// sign there (a hairline t or i of small serif print), and one rising above the x-height by
// a seventh of it (less than a third), without a dot, is a t.
// In any word, a mark shown as ' ` * . or r whose top lies below the x-height's middle, no
// wider than half the x-height, is a comma when it reaches below the baseline (a full stop
// of two rows at most: when the grey row under it, below the baseline, holds a quarter of
// its ink, unless a line of that x-height, within a pixel, holds a comma of three rows or
// more reaching below its baseline: print whose commas keep their tails) and is no higher
// than the x-height, else a full stop (no higher than a third of it).
// A letter whose capital differs only in size (c o s v w x z) standing on the baseline is
// the capital when it rises above the x-height by a third of it, or by two pixels and more
// than half as far as the line's other capitals rise, the small letter when its top lies at
// the x-height's top (within a sixth of it).
// A stem sign no wider than a quarter of the x-height (two pixels at least), hanging below
// the baseline by a quarter of it and rising above the x-height by a third, without a dot
// parted from it, is a bar (|).
// An e with a c among its three best is the c when no ink of its upper middle (a quarter
// to three fifths of its height down) joins the left quarter of its box to the right
// quarter: no bar closes its eye.
// An n or u is the one whose arch closes across the middle third of its columns in the top
// quarter of its rows (n) or the bottom one (u), the other quarter open there.
// A dash (-) whose top lies a row above the baseline or lower, no higher than a third of
// the x-height, is an underscore.
// The letter is moved to the front from the three best, or else taken from the library's
// first reference of it that the filter admits (the set of the best first), with the best's
// score; a character that matched nothing is then rejected only when that score is below
// `reject`. Boxes are in grey's coordinates.
void ApplyStrokeLetters(PictureReading& reading, const GreyImage& grey, bool darkOnLight,
                        const ReferenceLibrary& library, const CharFilter& filter,
                        double reject = 0);

}  // namespace morvik
