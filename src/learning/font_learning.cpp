#include "learning/font_learning.h"

#include <algorithm>

#include "core/error.h"
#include "fonts/char_list.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "fonts/utf8.h"
#include "reading/character_detail.h"
#include "reading/character_height.h"
#include "reading/character_recognition.h"
#include "segment/binarise.h"
#include "segment/cut.h"
#include "segment/grey_image.h"

namespace morvik {

namespace {

// The box of all ink of a rendered glyph, dots and accents included, as the segmenter
// gives a character once its parts are merged. Empty when the glyph has no ink.
CharBox InkBox(const GreyImage& grey) {
  const BinaryImage ink = Binarise(grey, Polarity::DarkOnLight).Image;
  int left = ink.Width, top = ink.Height, right = -1, bottom = -1;
  for (int y = 0; y < ink.Height; ++y)
    for (int x = 0; x < ink.Width; ++x)
      if (ink.At(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0) return CharBox{};
  return CharBox{left, top, right - left + 1, bottom - top + 1};
}

// One [1 2 1] pass along rows (across) or columns (down), rounded to nearest; the edge
// pixels count twice, as the background continues beyond the render's margin.
Bitmap BlurPass(const Bitmap& in, bool across) {
  Bitmap out(in.Width(), in.Height());
  const int dx = across ? 1 : 0, dy = across ? 0 : 1;
  for (int y = 0; y < in.Height(); ++y)
    for (int x = 0; x < in.Width(); ++x) {
      const int x0 = std::max(x - dx, 0), y0 = std::max(y - dy, 0);
      const int x1 = std::min(x + dx, in.Width() - 1), y1 = std::min(y + dy, in.Height() - 1);
      for (int k = 0; k < 3; ++k) {
        const int sum = in.Row(y0)[3 * x0 + k] + 2 * in.Row(y)[3 * x + k] + in.Row(y1)[3 * x1 + k];
        out.Row(y)[3 * x + k] = static_cast<std::uint8_t>((sum + 2) / 4);
      }
    }
  return out;
}

Bitmap Softened(Bitmap picture, int passes) {
  for (int k = 0; k < passes; ++k) picture = BlurPass(BlurPass(picture, true), false);
  return picture;
}

std::string Describe(char32_t c) {
  if (c >= 0x21 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  return CodePointName(c);
}

}  // namespace

Bitmap CutWholeCharacter(const Bitmap& picture, const std::string& name) {
  const GreyImage grey = ToGreyImage(picture);
  const CharBox box = InkBox(grey);
  if (box.Width == 0) throw FileError(name, "has no ink");
  return CutCharacter(grey, box, true);
}

std::vector<LearnedSet> LearnFromFont(const std::string& fontFile, const std::string& chars,
                                      const FontLearnOptions& options) {
  const std::u32string list = ParseCharList(chars);
  if (list.empty()) throw Error("no characters to learn");
  // Maps and the text read are bytes; outside ASCII a byte would not say which character.
  std::vector<GlyphAnswer> glyphs;
  for (char32_t c : list) {
    if (c < 0x20 || c > 0x7E)
      throw Error("the character " + Describe(c) + " cannot stand in a character map (ASCII only)",
                  ErrorKind::kUsage);
    glyphs.push_back({c, static_cast<char>(c)});
  }
  return LearnGlyphs(fontFile, glyphs, options);
}

std::vector<LearnedSet> LearnGlyphs(const std::string& fontFile,
                                    const std::vector<GlyphAnswer>& glyphs,
                                    const FontLearnOptions& options) {
  if (glyphs.empty()) throw Error("no characters to learn");
  if (options.CapHeights.empty()) throw Error("no size to learn at");
  const FontFace font(fontFile);
  for (const GlyphAnswer& g : glyphs)
    if (font.GlyphIndex(g.Glyph) == 0)
      throw FileError(fontFile, "has no character " + Describe(g.Glyph), ErrorKind::kBadData);
  const SetSettings settings = MergeSettings(CharacterDefaults(), options.Settings);
  const ImageOptions image = ResolveSettings(settings, {}).Image;
  std::vector<LearnedSet> sets;
  for (int size : options.CapHeights)
    for (const GlyphAnswer& g : glyphs) {
      if (sets.empty() || sets.back().Count == kReferenceCount) {
        sets.emplace_back();
        sets.back().Settings = settings;
        sets.back().Chars.CharMapLoaded = true;
      }
      LearnedSet& set = sets.back();
      const std::string name =
          fontFile + ": " + Describe(g.Glyph) + " at " + std::to_string(size) + " px";
      const Bitmap cut =
          CutWholeCharacter(Softened(RenderGlyph(font, g.Glyph, size), options.Soften), name);
      const int n = ++set.Count;
      // Learned as a run learns: the sampled test pattern copied into the slot.
      set.Bank.TestPattern() = CharacterPattern(cut, image, name);
      CopyPattern(set.Bank.TestPattern(), set.Bank.Slot(n));
      set.Chars.CharMap[static_cast<std::size_t>(n)] = g.Answer;
      // Rendered at `size` capital height: the glyph's own height says how tall it stands.
      set.Detail.Ref(static_cast<std::size_t>(n)) =
          DetailOf(cut, RelativeHeight(cut.Height() - 2 * kCutMargin, size));
      set.Detail.Loaded = true;
    }
  return sets;
}

}  // namespace morvik
