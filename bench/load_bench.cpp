// Loading a bitmap file into the TestPattern as a recognition run does, from the page cache:
// a 64 x 64 8-bit palette picture (the usual character image) and a 1000 x 1000 24-bit one.
// Besides the time, each benchmark reports the memory of one load: the peak of the bytes
// allocated during it (the allocations are counted here) and how far it raised the process's
// maximum resident set size the first time it ran.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/pattern.h"
#include "form/image_state.h"

namespace {

// Bytes allocated through operator new: live now and the most live since the last reset.
std::size_t liveBytes = 0, peakBytes = 0;

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  liveBytes += malloc_usable_size(p);
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  liveBytes -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace {

void Put(std::FILE* f, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) std::fputc(static_cast<int>((v >> (8 * k)) & 0xFF), f);
}

// A bright ring with a bar (a character on a dark, slightly noisy background) at pixel (x, y)
// of a size x size picture, as grey 0..255, and a colour tint for the 24-bit picture.
int Ink(int x, int y, int size) {
  const long dx = 2L * x - size, dy = 2L * y - size, r2 = dx * dx + dy * dy;
  const long outer = 7L * size * size / 10, inner = 4L * size * size / 10;
  const bool ring = r2 < outer && r2 > inner;
  const bool bar = x > size / 2 && x < size / 2 + size / 10 && y > size / 5;
  return ring || bar ? 220 + (x * 7 + y * 3) % 30 : 20 + (x * 13 + y * 11) % 25;
}

// Written row by row, so writing needs no picture in memory.
void WriteBmp(const std::string& path, int size, int bits) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  const std::uint32_t stride = (static_cast<std::uint32_t>(size) * bits / 8 + 3) / 4 * 4;
  const std::uint32_t palette = bits == 8 ? 1024 : 0, offset = 14 + 40 + palette;
  std::fputs("BM", f);
  Put(f, offset + stride * static_cast<std::uint32_t>(size), 4);
  Put(f, 0, 4);
  Put(f, offset, 4);
  Put(f, 40, 4);
  Put(f, static_cast<std::uint32_t>(size), 4);
  Put(f, static_cast<std::uint32_t>(size), 4);
  Put(f, 1, 2);
  Put(f, static_cast<std::uint32_t>(bits), 2);
  for (int k = 0; k < 6; ++k) Put(f, 0, 4);
  for (std::uint32_t k = 0; k < palette / 4; ++k) Put(f, k * 0x010101u, 4);
  std::vector<unsigned char> row(stride, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const int g = Ink(x, y, size);
      if (bits == 8) {
        row[x] = static_cast<unsigned char>(g);
      } else {
        row[3 * x] = static_cast<unsigned char>(g);               // blue
        row[3 * x + 1] = static_cast<unsigned char>(g - g / 8);   // green
        row[3 * x + 2] = static_cast<unsigned char>(g - g / 16);  // red
      }
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  std::fclose(f);
}

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

struct Memory {
  double firstPeak = 0, laterPeak = 0, held = 0, rssDelta = 0;  // bytes
};

// Writes the file and measures the memory of its first and of a later load, once per file:
// the process's maximum resident set only grows, so only the first load can show in it.
// The peaks count everything allocated since before the first load, so a later load's peak
// includes the picture the state still held from the load before.
const Memory& Prepare(const std::string& path, int size, int bits) {
  static std::vector<std::pair<std::string, Memory>> done;
  for (const auto& d : done)
    if (d.first == path) return d.second;
  WriteBmp(path, size, bits);
  if (done.empty()) {
    std::atexit([] {
      for (const auto& d : done) std::remove(d.first.c_str());
    });
  }
  morvik::ImageState image;
  morvik::TPattern test;
  Memory m;
  const long rssBefore = MaxRssKb();
  const std::size_t baseline = liveBytes;
  peakBytes = liveBytes;
  morvik::LoadTestPicFile(path, image, test);
  m.firstPeak = static_cast<double>(peakBytes - baseline);
  m.rssDelta = 1024.0 * static_cast<double>(MaxRssKb() - rssBefore);
  m.held = static_cast<double>(liveBytes - baseline);
  peakBytes = liveBytes;
  morvik::LoadTestPicFile(path, image, test);
  m.laterPeak = static_cast<double>(peakBytes - baseline);
  done.emplace_back(path, m);
  return done.back().second;
}

void LoadTestPic(benchmark::State& st, int size, int bits) {
  const std::string path = "/tmp/morvik-load-bench-" + std::to_string(size) + "x" +
                           std::to_string(size) + "-" + std::to_string(bits) + ".bmp";
  const Memory& m = Prepare(path, size, bits);
  morvik::ImageState image;
  morvik::TPattern test;
  for (auto _ : st) {
    morvik::LoadTestPicFile(path, image, test);
    benchmark::DoNotOptimize(test);
  }
  st.counters["picture_MB"] = 3.0 * size * size / 1e6;  // as 24-bit pixels
  st.counters["first_load_peak_MB"] = m.firstPeak / 1e6;
  st.counters["later_load_peak_MB"] = m.laterPeak / 1e6;
  st.counters["held_after_load_MB"] = m.held / 1e6;
  st.counters["maxrss_delta_MB"] = m.rssDelta / 1e6;
}

void BM_LoadTestPic64Palette8(benchmark::State& st) {
  LoadTestPic(st, 64, 8);
}
void BM_LoadTestPic1000Rgb24(benchmark::State& st) {
  LoadTestPic(st, 1000, 24);
}

BENCHMARK(BM_LoadTestPic64Palette8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTestPic1000Rgb24)->Unit(benchmark::kMillisecond);

}  // namespace
