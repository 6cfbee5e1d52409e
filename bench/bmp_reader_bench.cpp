// Speed of decoding BMP files held in memory: a character-sized 8-bit palette picture and a
// 1000 x 1000 24-bit one.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bmp_reader.h"

namespace {

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// An uncompressed bottom-up file with a 40-byte header, a grey palette at 8 bits or fewer,
// and pixel bytes in a fixed pattern.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bpp) {
  const std::size_t colours = bpp <= 8 ? std::size_t{1} << bpp : 0;
  const std::size_t offset = 54 + 4 * colours;
  const std::size_t stride = (static_cast<std::size_t>(width) * bpp + 31) / 32 * 4;
  std::vector<std::uint8_t> b(offset + stride * height);
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
  Put(b, 10, static_cast<std::uint32_t>(offset), 4);
  Put(b, 14, 40, 4);
  Put(b, 18, width, 4);
  Put(b, 22, height, 4);
  Put(b, 26, 1, 2);
  Put(b, 28, bpp, 2);
  for (std::size_t i = 0; i < colours; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 255 / (colours - 1));
    b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = grey;
  }
  for (std::size_t i = offset; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7);
  return b;
}

void Decode(benchmark::State& state, int width, int height, int bpp) {
  const std::vector<std::uint8_t> bytes = MakeBmp(width, height, bpp);
  for (auto _ : state) {
    morvik::Bitmap b = morvik::DecodeBmp(bytes.data(), bytes.size(), "bench.bmp");
    benchmark::DoNotOptimize(b);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK_CAPTURE(Decode, pal8_64x64, 64, 64, 8);
BENCHMARK_CAPTURE(Decode, rgb24_1000x1000, 1000, 1000, 24)->Unit(benchmark::kMicrosecond);

}  // namespace
