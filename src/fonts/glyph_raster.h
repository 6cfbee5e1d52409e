// One glyph scaled and rasterised by FreeType: its coverage, placement and advance.
#pragma once

#include <cstdint>
#include <vector>

#include "fonts/font_face.h"

namespace morvik {

struct GlyphRaster {
  int Left = 0;  // ink's left edge from the pen position, pixels
  int Top = 0;   // ink's top edge above the baseline, pixels
  int Width = 0;
  int Height = 0;
  long Advance = 0;                    // pen advance, 1/64 pixel
  std::vector<std::uint8_t> Coverage;  // Width x Height, 0 none .. 255 full
};

// Sets the face's size: a cap height or an em size in pixels. Throws Error naming the font
// file for sizes outside 1..kMaxRenderSize.
void SetRenderSize(const FontFace& font, int pixelSize, bool capHeight);

// The glyph at the current size, grey anti-aliased. Throws Error naming the font file when
// FreeType fails on it.
GlyphRaster RasteriseGlyph(const FontFace& font, unsigned glyphIndex);

}  // namespace morvik
