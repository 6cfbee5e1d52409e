#include "cli/heap_start.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace morvik {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// The stock library's sets and the detail shortlist, which every reading writes: measured on
// pictures of text, about 224 KiB besides the picture's share (the best of filling too much
// and too little, as below).
constexpr std::size_t kStockHeapBytes = 224 << 10;
// Sets named on the command line, opened from their files and read with: measured on learned
// sets and pictures of text, about 112 KiB and 48 KiB a set (small pictures write up to a
// tenth more, larger ones less). Prefaulting the stock library's share for one set filled
// some 130 pages never written, a tenth of a small picture's time.
constexpr std::size_t kNamedHeapBytes = 112 << 10, kNamedSetHeapBytes = 48 << 10;
// Measured on pictures of text: reading one writes about 2.5 bytes of heap a grey byte
// (the picture cleaned in its own memory). A page filled and not written costs a little less
// than a page left to fault, so this is the best of both over the pictures measured, not the
// most any of them writes.
constexpr std::uint64_t kHeapPerPictureByte2 = 5;  // in halves
// From here the faults of a picture's copies outweigh filling pages at start, and 2 MiB
// pages pay: about a picture of 512 x 512. Crops of pages of 600 x 600 read with 11 % less
// CPU than with their pages filled at start, lines of 1500 x 95 the same either way, blocks of
// a few large letters (up to 575 KB) some 8 % more: text is the commoner picture.
constexpr std::uint64_t kLargePicture = 1 << 18;
// A page's run holds about six copies of its picture at once (grey, cleaned, binarised,
// rotated, the components' marks), and a page of small print is read at twice its size, four
// times the pixels: a page at 100 dpi writes some 20 MiB for its 1 MiB of grey. Room that is
// never written costs nothing.
constexpr std::uint64_t kLargeCopies = 6 * 4;
constexpr std::size_t kHugePage = 2 * kMiB;
constexpr std::uint64_t kMostLargePages = std::uint64_t{512} << 20;

std::size_t RoundUp(std::uint64_t bytes, std::size_t unit) {
  return static_cast<std::size_t>((bytes + unit - 1) / unit * unit);
}

// Width times height from a PNG's header (signature, IHDR length and name, width, height).
std::uint64_t PngPixels(const std::array<unsigned char, 24>& h) {
  const auto word = [&](int at) {
    return std::uint64_t{h[at]} << 24 | std::uint64_t{h[at + 1]} << 16 |
           std::uint64_t{h[at + 2]} << 8 | h[at + 3];
  };
  return word(16) * word(20);
}

std::uint64_t PictureBytes(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  std::array<unsigned char, 24> head{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return size;
  const ssize_t got = ::read(fd, head.data(), head.size());
  ::close(fd);
  if (got != static_cast<ssize_t>(head.size())) return size;
  static constexpr std::array<unsigned char, 8> kPng{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (!std::equal(kPng.begin(), kPng.end(), head.begin())) return size;
  return std::max(size, PngPixels(head));
}

}  // namespace

HeapPlan PlanReadingHeap(std::uint64_t pictureBytes, std::size_t libraryBytes) {
  HeapPlan plan;
  if (pictureBytes < kLargePicture) {
    const std::size_t page = 4096;
    plan.Prefault = RoundUp(libraryBytes + pictureBytes * kHeapPerPictureByte2 / 2, page);
  } else {
    plan.LargePages = RoundUp(std::min(pictureBytes * kLargeCopies, kMostLargePages), kHugePage);
  }
  return plan;
}

std::size_t LibraryHeapBytes(const std::vector<std::string>& args) {
  std::size_t sets = 0;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    std::string name;
    if (a == "--set" && k + 1 < args.size())
      name = args[++k];
    else if (a.rfind("--set=", 0) == 0)
      name = a.substr(6);
    else
      continue;
    // A library or pack file may hold any number of sets: as many as the stock library, say.
    const std::size_t n = name.size();
    if (n > 5 && (strcasecmp(name.c_str() + n - 5, ".sets") == 0 ||
                  strcasecmp(name.c_str() + n - 5, ".pack") == 0))
      return kStockHeapBytes;
    ++sets;
  }
  return sets == 0 ? kStockHeapBytes : kNamedHeapBytes + sets * kNamedSetHeapBytes;
}

std::uint64_t LargestPictureBytes(const std::vector<std::string>& args) {
  std::uint64_t largest = 0;
  for (const std::string& a : args)
    if (!a.empty() && a[0] != '-') largest = std::max(largest, PictureBytes(a));
  return largest;
}

void StartReadingHeap(const HeapPlan& plan) {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_POPULATE_WRITE) && \
    defined(MADV_HUGEPAGE)
  // At start the heap holds almost nothing, so each block below is the heap's free top; freed,
  // it joins the top again and stays mapped for the allocations that follow. An older kernel
  // refuses the advice, and the pages fault in as before.
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto advise = [](std::size_t bytes, std::uintptr_t unit, int advice) {
    void* block = std::malloc(bytes);
    if (!block) return;
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t from = (at + unit - 1) / unit * unit, to = (at + bytes) / unit * unit;
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, advice);
    std::free(block);
  };
  if (plan.Prefault != 0) advise(plan.Prefault, page, MADV_POPULATE_WRITE);
  if (plan.LargePages != 0) {
    // Every buffer from the heap (none mapped alone, as large ones otherwise are, faulting
    // afresh each time), and the heap kept when freed.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<std::size_t>(plan.LargePages + 64 * kMiB,
                                                                     std::size_t{1} << 30)));
    advise(plan.LargePages + kHugePage, kHugePage, MADV_HUGEPAGE);
  }
#else
  (void)plan;
#endif
}

}  // namespace morvik
