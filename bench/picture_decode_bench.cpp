// Decoding pictures from memory, as a run or standard input hands them to the readers: a
// 64 x 64 character and a 1000 x 1000 page, each as an 8-bit grey PNG, a 24-bit RGB PNG, a
// binary PGM and an 8-bit BMP, so the formats can be compared on the same picture.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/picture_reader.h"
#include "image/png_writer.h"

namespace {

// A bright ring with a bar on a dark, slightly noisy ground, grey 0..255.
int Ink(int x, int y, int size) {
  const long dx = 2L * x - size, dy = 2L * y - size, r2 = dx * dx + dy * dy;
  const long outer = 7L * size * size / 10, inner = 4L * size * size / 10;
  const bool ring = r2 < outer && r2 > inner;
  const bool bar = x > size / 2 && x < size / 2 + size / 10 && y > size / 5;
  return ring || bar ? 220 + (x * 7 + y * 3) % 30 : 20 + (x * 13 + y * 11) % 25;
}

std::vector<std::uint8_t> GreyPixels(int size) {
  std::vector<std::uint8_t> g(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) g[static_cast<std::size_t>(y) * size + x] = Ink(x, y, size);
  return g;
}

void Append(png_structp png, png_bytep data, std::size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}

std::string GreyPng(int size) {
  std::vector<std::uint8_t> g = GreyPixels(size);
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) std::abort();
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < size; ++y) png_write_row(png, &g[static_cast<std::size_t>(y) * size]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::string RgbPng(int size) {
  const std::vector<std::uint8_t> g = GreyPixels(size);
  morvik::Bitmap b(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int v = g[static_cast<std::size_t>(y) * size + x];
      b.SetPixel(x, y, morvik::MakeColour(v - v / 16, v - v / 8, v));
    }
  return morvik::EncodePng(b);
}

std::string Pgm(int size) {
  const std::vector<std::uint8_t> g = GreyPixels(size);
  return "P5\n" + std::to_string(size) + " " + std::to_string(size) + "\n255\n" +
         std::string(g.begin(), g.end());
}

void Put(std::string& s, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s += static_cast<char>((v >> (8 * k)) & 0xFF);
}

std::string Bmp8(int size) {
  const std::vector<std::uint8_t> g = GreyPixels(size);
  const std::uint32_t stride = (static_cast<std::uint32_t>(size) + 3) / 4 * 4;
  const std::uint32_t offset = 14 + 40 + 1024;
  std::string s = "BM";
  Put(s, offset + stride * size, 4);
  Put(s, 0, 4);
  Put(s, offset, 4);
  Put(s, 40, 4);
  Put(s, size, 4);
  Put(s, size, 4);
  Put(s, 1, 2);
  Put(s, 8, 2);
  for (int k = 0; k < 6; ++k) Put(s, 0, 4);
  for (std::uint32_t k = 0; k < 256; ++k) Put(s, k * 0x010101u, 4);
  for (int y = size - 1; y >= 0; --y) {
    s.append(reinterpret_cast<const char*>(&g[static_cast<std::size_t>(y) * size]), size);
    s.append(stride - size, '\0');
  }
  return s;
}

void Decode(benchmark::State& st, const std::string& file) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(file.data());
  for (auto _ : st) {
    morvik::Bitmap b = morvik::DecodePicture(data, file.size(), "bench");
    benchmark::DoNotOptimize(b);
  }
  st.counters["file_kB"] = file.size() / 1e3;
  st.SetItemsProcessed(st.iterations());
}

void BM_GreyPng(benchmark::State& st) {
  Decode(st, GreyPng(static_cast<int>(st.range(0))));
}
void BM_RgbPng(benchmark::State& st) {
  Decode(st, RgbPng(static_cast<int>(st.range(0))));
}
void BM_Pgm(benchmark::State& st) {
  Decode(st, Pgm(static_cast<int>(st.range(0))));
}
void BM_Bmp8(benchmark::State& st) {
  Decode(st, Bmp8(static_cast<int>(st.range(0))));
}

BENCHMARK(BM_GreyPng)->Arg(64)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RgbPng)->Arg(64)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pgm)->Arg(64)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp8)->Arg(64)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
