// Ligatures in the stock library: a reference learned from a font's fi, fl, ff, ffi or ffl
// glyph answers with a private byte (a C1 control, which no text read otherwise holds), and
// the reading writes that byte as the letters it joins.
#pragma once

#include <string>

namespace morvik {

struct Ligature {
  char32_t Glyph;       // the font's code point of the joined glyph (U+FB00..U+FB04)
  char Code;            // the byte a reference of it answers with
  const char* Letters;  // what the reading writes for it
};

// fi, fl, ff, ffi and ffl.
extern const Ligature kLigatures[5];

// The letters a ligature code stands for; the character itself for any other byte.
std::string LettersOf(char c);

// The code of the ligature a reading of `c` may stand for where only that makes a word, or 0:
// the PostScript faces join fi and fl but set ff as two f's, which touching at their bars
// (ff, and the ff of ffi and ffl set as f and a joined fi or fl) read as the fl ligature.
char LookAlikeLigature(char c);

// What a ligature code read for a lone f (or ff) may stand for where only that makes a word:
// a wide-hooked f (Bookman's) matches the fi and fl ligatures better than the f itself, so
// 'for' reads 'fior'. The f for fi and fl, the ff ligature for ffi and ffl, else 0.
char ShorterLigature(char c);

}  // namespace morvik
