// Learning reference sets from a font file: each character rendered with FreeType and taken
// through the path a character cut out of a picture takes.
#pragma once

#include <string>
#include <vector>

#include "image/bitmap.h"
#include "learning/learned_set.h"
#include "library/set_settings.h"

namespace morvik {

// The cap height learning uses when none is given: large enough that the 64-pixel raster
// is sampled from real detail, small enough to look like ordinary screen and scan text.
constexpr int kDefaultLearnCapHeight = 40;

// A picture of one character, dark on light, as a cut character: the box of all its ink
// (every part: dots, accents) cut out and inverted. Throws Error naming `name` when the
// picture has no ink.
Bitmap CutWholeCharacter(const Bitmap& picture, const std::string& name);

struct FontLearnOptions {
  // Cap heights in pixels (1..kMaxRenderSize); each gives a full round of the characters.
  std::vector<int> CapHeights{kDefaultLearnCapHeight};
  // Passes of a [1 2 1] blur over the rendered glyph, across and down (each about 0.7 px of
  // Gaussian spread): references that look like soft print. 0 learns the sharp glyph.
  int Soften = 0;
  // Image settings and tally to learn with; CharacterDefaults fills what is not given, and
  // the sets store the result so that recognition samples the same way.
  SetSettings Settings;
};

// The references of the characters (a list such as "0-9A-Z", see ParseCharList) at every
// cap height in turn, 40 to a set: references 1..n of the first set, then the next set.
// Each set's map names its characters and its settings are the ones learned with. Throws
// Error naming the font file when it cannot be opened, lacks a character, a character has
// no ink or is not printable ASCII (what a character map holds); Error for an empty list.
std::vector<LearnedSet> LearnFromFont(const std::string& fontFile, const std::string& chars,
                                      const FontLearnOptions& options);

// One glyph to learn and the character its reference answers with.
struct GlyphAnswer {
  char32_t Glyph;
  char Answer;
};

// As LearnFromFont, for glyphs of any code point, each answering with its own byte (a
// ligature with the code the reading writes as its letters). Throws Error naming the font
// file when it lacks a glyph; Error for an empty list.
std::vector<LearnedSet> LearnGlyphs(const std::string& fontFile,
                                    const std::vector<GlyphAnswer>& glyphs,
                                    const FontLearnOptions& options);

}  // namespace morvik
