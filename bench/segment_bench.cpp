// Segmenting a 1000 x 200 picture of one line of digit groups (DejaVu Sans, 64-pixel cap
// height), dark on light, clean and with 1% salt-and-pepper noise; and the grey conversion of
// the same picture from RGB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <random>

#include "fonts/font_face.h"
#include "fonts/render.h"
#include "segment/grey_image.h"
#include "segment/text_segmenter.h"

namespace {

using namespace morvik;

Bitmap LinePicture() {
  const FontFace face("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  const Bitmap text = RenderText(face, {"31415 92653 58979 32"}, 64);
  Bitmap page(1000, 200);
  page.Fill(kWhite);
  const int top = std::max(0, (200 - text.Height()) / 2);
  for (int y = 0; y < std::min(text.Height(), 200); ++y)
    for (int x = 0; x < std::min(text.Width(), 990); ++x)
      page.SetPixel(10 + x, top + y, text.Pixel(x, y));
  return page;
}

// Null when the font is not installed.
std::unique_ptr<Bitmap> TryLinePicture(benchmark::State& state) {
  try {
    return std::make_unique<Bitmap>(LinePicture());
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return nullptr;
  }
}

void Segment(benchmark::State& state, double noise) {
  const auto page = TryLinePicture(state);
  if (!page) return;
  GreyImage grey = ToGreyImage(*page);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (std::uint8_t& p : grey.Pixels) {
    const double r = u(rng);
    if (r < noise / 2)
      p = 0;
    else if (r < noise)
      p = 255;
  }
  std::size_t chars = 0;
  for (auto _ : state) {
    const Segmentation s = SegmentText(grey);
    chars = s.Lines.empty() ? 0 : s.Lines[0].Chars.size();
    benchmark::DoNotOptimize(chars);
  }
  state.counters["chars"] = static_cast<double>(chars);
}

void BM_SegmentLine(benchmark::State& state) {
  Segment(state, 0.0);
}
void BM_SegmentNoisyLine(benchmark::State& state) {
  Segment(state, 0.01);
}

void BM_GreyOfLinePicture(benchmark::State& state) {
  const auto page = TryLinePicture(state);
  if (!page) return;
  for (int x = 0; x < page->Width(); x += 7) page->SetPixel(x, 0, MakeColour(10, 200, 30));
  for (auto _ : state) benchmark::DoNotOptimize(ToGreyImage(*page));
}

}  // namespace

BENCHMARK(BM_SegmentLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SegmentNoisyLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GreyOfLinePicture)->Unit(benchmark::kMicrosecond);
