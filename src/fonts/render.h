// Characters and lines of text drawn with FreeType into bitmaps: grey anti-aliased glyphs for
// learning references and for test pictures.
#pragma once

#include <string>
#include <vector>

#include "fonts/font_face.h"
#include "image/bitmap.h"

namespace morvik {

struct RenderOptions {
  // true: the size is the cap height, the outline height of 'H' (of the font's own capital
  // height when it has no 'H') in pixels; false: the size is the em size in pixels.
  bool CapHeight = true;
  // Light strokes on a black background instead of dark strokes on white.
  bool LightOnDark = false;
  // Background pixels around the ink on every side (0 to 1000).
  int Margin = 4;
  // Baseline to baseline in pixels for RenderText; 0 takes the font's own line height.
  int LineSpacing = 0;
  // Pixels added after every character of RenderText (-1000 to 1000); negative values make
  // neighbours touch.
  int Tracking = 0;
};

// Sizes from 1 to 1000 pixels are accepted.
constexpr int kMaxRenderSize = 1000;

// One character, cut to its ink plus the margin. Throws Error naming the font file when the
// font lacks the character or the size is out of range. A character without ink (a space)
// gives a background picture of its advance plus the margins.
Bitmap RenderGlyph(const FontFace& font, char32_t c, int pixelSize,
                   const RenderOptions& options = {});

// Lines of UTF-8 text with the font's advances and kerning, the lines LineSpacing apart, cut
// to the ink of all lines plus the margin. Throws as RenderGlyph does for any character but
// the space, and when the picture would exceed 100 million pixels.
Bitmap RenderText(const FontFace& font, const std::vector<std::string>& lines, int pixelSize,
                  const RenderOptions& options = {});

}  // namespace morvik
