#include "test_util.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace morvik::test {

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "morvik-test-XXXXXX").string();
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::uint8_t LevelOf(char ch) {
  switch (ch) {
    case '1':
      return 10;
    case '2':
      return 25;
    case '5':
      return 50;
    case '7':
      return 75;
    case '#':
      return 100;
    default:
      return 0;
  }
}

TPattern Picture(const std::vector<std::string>& rows) {
  TPattern p;
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      if (const std::uint8_t l = LevelOf(rows[r][c]); l != 0)
        p.At(static_cast<int>(r) + 1, static_cast<int>(c) + 1) = {1, l};
  p.MaxLevel = ComputeMaxLevel(p);
  return p;
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
  // Without this the process would be killed by SIGXFSZ instead of seeing EFBIG.
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  oldSoft_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = oldSoft_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler_);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

std::string Encode(const Bitmap& bm, int bits) {
  const int w = bm.Width(), h = bm.Height();
  const std::uint32_t stride = ((static_cast<std::uint32_t>(w) * bits + 31) / 32) * 4;
  const std::uint32_t paletteBytes = bits == 8 ? 1024 : 0;
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  std::string s = "BM";
  Put32(s, offset + stride * static_cast<std::uint32_t>(h));
  Put32(s, 0);
  Put32(s, offset);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(w));
  Put32(s, static_cast<std::uint32_t>(h));
  Put16(s, 1);
  Put16(s, static_cast<unsigned>(bits));
  for (int k = 0; k < 6; ++k) Put32(s, 0);
  for (std::uint32_t k = 0; k < paletteBytes / 4; ++k) Put32(s, k * 0x010101u);
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const Colour c = bm.Pixel(x, y);
      if (bits == 8) {
        row += static_cast<char>(RedOf(c));
      } else {
        row += static_cast<char>(BlueOf(c));
        row += static_cast<char>(GreenOf(c));
        row += static_cast<char>(RedOf(c));
      }
    }
    row.resize(stride, '\0');
    s += row;
  }
  return s;
}

}  // namespace

std::string EncodeBmp24(const Bitmap& bitmap) {
  return Encode(bitmap, 24);
}
std::string EncodeBmp8Grey(const Bitmap& bitmap) {
  return Encode(bitmap, 8);
}
void WriteBmp24(const std::string& path, const Bitmap& bitmap) {
  WriteFile(path, EncodeBmp24(bitmap));
}
void WriteBmp8Grey(const std::string& path, const Bitmap& bitmap) {
  WriteFile(path, EncodeBmp8Grey(bitmap));
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace morvik::test
