#include "segment/noise.h"

#include <algorithm>

#include "image/last_lanes.h"

namespace morvik {

namespace {

// Of the n pixels of a row from `row` on, how many are ink starting a run along the row (the
// first, or after ground) and how many start a run down their column (in the first row, or
// under ground: `above` is the row above, nullptr for the first). Added to across and down;
// each pixel alone, in a loop the compiler can take in vectors.
void AddRunStarts(const std::uint8_t* row, const std::uint8_t* above, int n, long long& across,
                  long long& down) {
  unsigned a = row[0] != 0, d = 0;
  for (int x = 1; x < n; ++x) a += (row[x] != 0) & (row[x - 1] == 0);
  if (above)
    for (int x = 0; x < n; ++x) d += (row[x] != 0) & (above[x] == 0);
  else
    for (int x = 0; x < n; ++x) d += row[x] != 0;
  across += a;
  down += d;
}

#if defined(__SSE2__)
// The same, sixteen pixels a step, for rows of sixteen pixels or more. The row's last sixteen
// are taken again where n is not a multiple of sixteen, the pixels counted already masked out:
// a character's box is a few dozen pixels wide, and a tail one by one would cost as much as
// the rest.
void AddRunStarts16(const std::uint8_t* row, const std::uint8_t* above, int n, long long& across,
                    long long& down) {
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
  const auto ground = [&](const std::uint8_t* p) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), zero);
  };
  __m128i a = zero, d = zero;
  const auto add = [&](__m128i& sum, __m128i starts) {
    sum = _mm_add_epi64(sum, _mm_sad_epu8(_mm_and_si128(starts, one), zero));
  };
  const auto step = [&](int at, __m128i keep) {
    const __m128i here = ground(row + at), ink = _mm_andnot_si128(here, keep);
    // Ground lies before the row's first pixel.
    const __m128i before = at == 0 ? _mm_or_si128(_mm_slli_si128(here, 1), _mm_cvtsi32_si128(0xFF))
                                   : ground(row + at - 1);
    add(a, _mm_and_si128(ink, before));
    add(d, above ? _mm_and_si128(ink, ground(above + at)) : ink);
  };
  int x = 0;
  for (; x + 16 <= n; x += 16) step(x, _mm_set1_epi8(-1));
  if (x < n) step(n - 16, LastLanes(n - x));
  across += _mm_cvtsi128_si32(a) + _mm_cvtsi128_si32(_mm_srli_si128(a, 8));
  down += _mm_cvtsi128_si32(d) + _mm_cvtsi128_si32(_mm_srli_si128(d, 8));
}
#endif

}  // namespace

bool IsTexture(const BinaryImage& ink, const Rect& box) {
  const int left = std::clamp(box.Left, 0, ink.Width), top = std::clamp(box.Top, 0, ink.Height);
  const int right = std::clamp(box.Right(), left, ink.Width);
  const int bottom = std::clamp(box.Bottom(), top, ink.Height);
  const int width = right - left, height = bottom - top;
  if (width == 0 || height == 0) return false;
  long long across = 0, down = 0;
  // Row by row, along memory: the runs down the columns are counted by where they start.
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* row = ink.Ink.data() + static_cast<std::size_t>(y) * ink.Width + left;
    const std::uint8_t* above = y > top ? row - ink.Width : nullptr;
#if defined(__SSE2__)
    if (width >= 16) {
      AddRunStarts16(row, above, width, across, down);
      continue;
    }
#endif
    AddRunStarts(row, above, width, across, down);
  }
  return across > static_cast<long long>(kNoiseCrossings) * height ||
         down > static_cast<long long>(kNoiseCrossings) * width;
}

bool IsLineOfDots(const std::vector<CharBox>& chars) {
  bool any = false;
  for (const CharBox& c : chars) {
    if (c.Empty) continue;
    if (c.Height >= kMinLineHeight) return false;
    any = true;
  }
  return any;
}

void RemoveNoise(Segmentation& s, const BinaryImage& ink, bool keepPlaces) {
  std::vector<TextLine> lines;
  for (TextLine& l : s.Lines) {
    const bool dots = IsLineOfDots(l.Chars);
    std::vector<CharBox> kept;
    bool space = false, anyInk = false;
    for (CharBox c : l.Chars) {
      const bool noise = !c.Empty && (dots || IsTexture(ink, {c.Left, c.Top, c.Width, c.Height}));
      if (noise && !keepPlaces) {
        space = space || c.SpaceBefore;
        continue;
      }
      c.Empty = c.Empty || noise;
      c.SpaceBefore = c.SpaceBefore || space;
      space = false;
      anyInk = anyInk || !c.Empty;
      kept.push_back(c);
    }
    // Every line of the text and table cuts holds ink; one whose ink was all noise goes.
    if (!anyInk && !keepPlaces) continue;
    l.Chars = std::move(kept);
    lines.push_back(std::move(l));
  }
  s.Lines = std::move(lines);
}

}  // namespace morvik
