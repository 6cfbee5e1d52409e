#include "fonts/render.h"

#include <algorithm>
#include <climits>
#include <map>

#include "core/error.h"
#include "fonts/glyph_raster.h"
#include "fonts/utf8.h"

namespace morvik {

namespace {

struct Placed {
  const GlyphRaster* Glyph;
  int X, Y;  // top-left of the glyph's coverage
};

// Coverage canvas turned into a picture: ink dark on white or light on black.
Bitmap ToBitmap(const std::vector<std::uint8_t>& coverage, int width, int height,
                bool lightOnDark) {
  Bitmap bm(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bm.Row(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const int c = coverage[static_cast<std::size_t>(y) * width + x];
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(lightOnDark ? c : 255 - c);
    }
  }
  return bm;
}

// Overlapping glyphs keep the stronger coverage, so a touching pair shows no seam.
void Paint(std::vector<std::uint8_t>& canvas, int width, const GlyphRaster& g, int x0, int y0) {
  for (int y = 0; y < g.Height; ++y)
    for (int x = 0; x < g.Width; ++x) {
      std::uint8_t& d = canvas[static_cast<std::size_t>(y0 + y) * width + (x0 + x)];
      d = std::max(d, g.Coverage[static_cast<std::size_t>(y) * g.Width + x]);
    }
}

unsigned RequireGlyph(const FontFace& font, char32_t c) {
  const unsigned index = font.GlyphIndex(c);
  if (index == 0)
    throw FileError(font.Path(), "the font has no glyph for character " + CodePointName(c));
  return index;
}

int CheckedMargin(const RenderOptions& options) {
  return std::clamp(options.Margin, 0, kMaxRenderSize);
}

// Lays out the lines: the glyphs with their top-left corners, baseline of line i at i x spacing.
class Layout {
 public:
  Layout(const FontFace& font, const RenderOptions& options) : font_(font), options_(options) {}

  void AddLine(const std::u32string& line, int baseline) {
    FT_Face face = font_.Face();
    long pen = 0;  // 1/64 pixel
    unsigned previous = 0;
    for (char32_t c : line) {
      const unsigned index = c == U' ' ? font_.GlyphIndex(c) : RequireGlyph(font_, c);
      if (index == 0) {  // a font without a space glyph: a third of an em
        pen += face->size->metrics.x_ppem * 64 / 3, previous = 0;
        continue;
      }
      if (previous != 0 && FT_HAS_KERNING(face)) {
        FT_Vector kern{0, 0};
        if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
      }
      const GlyphRaster& g = Glyph(index);
      if (g.Width > 0 && g.Height > 0)
        placed_.push_back({&g, static_cast<int>((pen + 32) >> 6) + g.Left, baseline - g.Top});
      pen += g.Advance + 64L * std::clamp(options_.Tracking, -kMaxRenderSize, kMaxRenderSize);
      previous = index;
    }
  }

  const std::vector<Placed>& Glyphs() const { return placed_; }

 private:
  const GlyphRaster& Glyph(unsigned index) {
    auto it = cache_.find(index);
    if (it == cache_.end()) it = cache_.emplace(index, RasteriseGlyph(font_, index)).first;
    return it->second;
  }

  const FontFace& font_;
  const RenderOptions& options_;
  std::map<unsigned, GlyphRaster> cache_;
  std::vector<Placed> placed_;
};

}  // namespace

Bitmap RenderGlyph(const FontFace& font, char32_t c, int pixelSize, const RenderOptions& options) {
  const unsigned index = RequireGlyph(font, c);
  SetRenderSize(font, pixelSize, options.CapHeight);
  const GlyphRaster g = RasteriseGlyph(font, index);
  const int m = CheckedMargin(options);
  const bool ink = g.Width > 0 && g.Height > 0;
  const int w = (ink ? g.Width : std::max(1, static_cast<int>(g.Advance >> 6))) + 2 * m;
  const int h = (ink ? g.Height : 1) + 2 * m;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(w) * h, 0);
  if (ink) Paint(canvas, w, g, m, m);
  return ToBitmap(canvas, w, h, options.LightOnDark);
}

Bitmap RenderText(const FontFace& font, const std::vector<std::string>& lines, int pixelSize,
                  const RenderOptions& options) {
  SetRenderSize(font, pixelSize, options.CapHeight);
  const long fontLine = (font.Face()->size->metrics.height + 63) >> 6;
  const long spacing = options.LineSpacing > 0 ? options.LineSpacing : fontLine;
  if (static_cast<long double>(spacing) * lines.size() > 1e8L)
    throw FileError(font.Path(), "the text picture would be too large");
  Layout layout(font, options);
  for (std::size_t i = 0; i < lines.size(); ++i)
    layout.AddLine(DecodeUtf8(lines[i]), static_cast<int>(spacing * static_cast<long>(i)));
  long left = LONG_MAX, top = LONG_MAX, right = LONG_MIN, bottom = LONG_MIN;
  for (const Placed& p : layout.Glyphs()) {
    left = std::min<long>(left, p.X), top = std::min<long>(top, p.Y);
    right = std::max<long>(right, p.X + p.Glyph->Width);
    bottom = std::max<long>(bottom, p.Y + p.Glyph->Height);
  }
  const int m = CheckedMargin(options);
  if (layout.Glyphs().empty()) left = right = top = bottom = 0;
  const long double pixels =
      static_cast<long double>(right - left + 2 * m) * (bottom - top + 2 * m);
  if (pixels > 1e8L) throw FileError(font.Path(), "the text picture would be too large");
  const int w = static_cast<int>(right - left) + 2 * m, h = static_cast<int>(bottom - top) + 2 * m;
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(w) * h, 0);
  for (const Placed& p : layout.Glyphs())
    Paint(canvas, w, *p.Glyph, static_cast<int>(p.X - left) + m, static_cast<int>(p.Y - top) + m);
  return ToBitmap(canvas, w, h, options.LightOnDark);
}

}  // namespace morvik
