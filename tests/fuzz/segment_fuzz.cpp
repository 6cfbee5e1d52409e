// libFuzzer entry point for cutting a picture with the options of --read: the first bytes
// choose the layout (text, grid or table), the polarity, the grid, a character limit and
// whether each cut character is cropped to its content; the rest is the grey picture, row
// after row. Every box must lie in the picture and every box must cut, crop and draw.
#include <cstdlib>

#include "image/crop.h"
#include "segment/cut.h"
#include "segment/draw_boxes.h"
#include "segment/grid.h"
#include "segment/isolated_pixels.h"
#include "segment/noise.h"
#include "segment/table.h"
#include "segment/text_segmenter.h"

namespace {

using namespace morvik;

constexpr std::size_t kOptionBytes = 10;

struct Options {
  int Mode = 0;  // 0 text, 1 grid, 2 table
  Polarity Ink = Polarity::Auto;
  GridLayout Grid;
  bool Crop = false;
  std::size_t MaxChars = kNoCharacterLimit;
  int Width = 1;
};

Options OptionsOf(const std::uint8_t* d) {
  Options o;
  o.Mode = d[0] % 3;
  o.Ink = static_cast<Polarity>(d[0] / 3 % 3);
  o.Crop = (d[0] & 0x40) != 0;
  if (d[0] & 0x80) o.MaxChars = d[9] % 16;
  o.Width = 1 + d[1] % 128;
  // Cells may start left of or above the picture and run past it.
  o.Grid = {static_cast<std::int8_t>(d[2]),
            static_cast<std::int8_t>(d[3]),
            1 + d[4] % 64,
            1 + d[5] % 64,
            1 + d[6] % 32,
            1 + d[7] % 32};
  return o;
}

Segmentation Cut(const GreyImage& g, const Options& o) {
  switch (o.Mode) {
    case 1:
      return SegmentGrid(g, o.Grid, o.Ink, o.MaxChars);
    case 2:
      return SegmentTable(g, o.Ink, o.MaxChars);
  }
  return SegmentText(g, o.Ink, o.MaxChars);
}

void CheckBox(const GreyImage& g, const CharBox& b, const Options& o, bool darkOnLight) {
  if (b.Width < 0 || b.Height < 0 || b.Left < 0 || b.Top < 0 || b.Left + b.Width > g.Width ||
      b.Top + b.Height > g.Height)
    std::abort();
  if (!b.Empty && (b.Width == 0 || b.Height == 0)) std::abort();
  const Bitmap cut = CutCharacter(g, b, darkOnLight);
  const Bitmap scaled = CutCharacterScaled(g, b, darkOnLight, 1 + o.Width % 40);
  if (cut.Width() != b.Width + 2 * kCutMargin) std::abort();
  if (o.Crop) {
    Bitmap cropped;
    AutoCrop(scaled, cropped, 1, kBlack);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= kOptionBytes) return 0;
  const Options o = OptionsOf(data);
  const std::size_t pixels = size - kOptionBytes;
  GreyImage raw;
  raw.Width = o.Width;
  raw.Height = static_cast<int>(pixels / static_cast<std::size_t>(o.Width));
  if (raw.Height == 0) return 0;
  raw.Pixels.assign(data + kOptionBytes,
                    data + kOptionBytes + static_cast<std::size_t>(raw.Width) * raw.Height);
  const GreyImage g = RemoveIsolatedPixels(raw);
  Segmentation s = Cut(g, o);
  for (const TextLine& l : s.Lines) {
    if (o.Mode != 1 && l.Chars.empty()) std::abort();
    for (const CharBox& b : l.Chars) CheckBox(g, b, o, s.DarkOnLight);
  }
  const Binarised ink = Binarise(g, s.DarkOnLight ? Polarity::DarkOnLight : Polarity::LightOnDark);
  RemoveNoise(s, ink.Image, o.Mode == 1);
  for (const TextLine& l : s.Lines)
    for (const CharBox& b : l.Chars) CheckBox(g, b, o, s.DarkOnLight);
  if (DrawBoxes(g, s).Width() != g.Width) std::abort();
  return 0;
}
