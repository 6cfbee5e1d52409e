#include "fonts/glyph_raster.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>

#include "core/error.h"
#include "fonts/render.h"

namespace morvik {

namespace {

// The capital height in font units: the top of the unscaled 'H', else the OS/2 table's
// figure, else 0.7 em, a usual capital height.
long CapUnits(FT_Face face) {
  const FT_UInt h = FT_Get_Char_Index(face, 'H');
  if (h != 0 && FT_Load_Glyph(face, h, FT_LOAD_NO_SCALE) == 0 &&
      face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    if (box.yMax > 0) return box.yMax;
  }
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version >= 2 && os2->sCapHeight > 0) return os2->sCapHeight;
  return static_cast<long>(std::nearbyint(0.7L * face->units_per_EM));
}

}  // namespace

void SetRenderSize(const FontFace& font, int pixelSize, bool capHeight) {
  if (pixelSize < 1 || pixelSize > kMaxRenderSize)
    throw FileError(font.Path(), "the size " + std::to_string(pixelSize) + " is outside 1 to " +
                                     std::to_string(kMaxRenderSize));
  FT_Face face = font.Face();
  long double em = pixelSize;
  if (capHeight) em = em * static_cast<long double>(face->units_per_EM) / CapUnits(face);
  const auto em64 = static_cast<FT_F26Dot6>(std::nearbyint(em * 64.0L));
  if (FT_Set_Char_Size(face, 0, em64, 72, 72) != 0)
    throw FileError(font.Path(), "the font cannot be scaled to " + std::to_string(pixelSize));
}

GlyphRaster RasteriseGlyph(const FontFace& font, unsigned glyphIndex) {
  FT_Face face = font.Face();
  if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
    throw FileError(font.Path(), "glyph " + std::to_string(glyphIndex) + " cannot be drawn");
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  GlyphRaster g;
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;
  g.Width = static_cast<int>(bm.width);
  g.Height = static_cast<int>(bm.rows);
  g.Advance = slot->advance.x;
  g.Coverage.assign(static_cast<std::size_t>(g.Width) * g.Height, 0);
  for (int y = 0; y < g.Height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
    for (int x = 0; x < g.Width; ++x) {
      const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
      const int v = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
      g.Coverage[static_cast<std::size_t>(y) * g.Width + x] = static_cast<std::uint8_t>(v);
    }
  }
  return g;
}

}  // namespace morvik
