// The heap plan of a reading run: sized from the largest picture its arguments name.
#include "cli/heap_start.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace morvik {
namespace {

using test::TempDir;
using test::WriteFile;

constexpr std::uint64_t kMiB = 1 << 20;

TEST(HeapStart, PlanGrowsWithThePictureAndStaysBounded) {
  struct Case {
    std::uint64_t bytes;
    std::size_t leastPrefault, mostPrefault, leastLarge, mostLarge;
  } cases[] = {
      {0, 192 << 10, kMiB, 0, 0},                              // the library alone
      {52575, 320 << 10, kMiB, 0, 0},                          // a block of text
      {(256 << 10) - 1, 768 << 10, 2 * kMiB, 0, 0},            // the largest picture prefaulted
      {966694, 0, 0, 20 * kMiB, 24 * kMiB},                    // a page at 100 dpi, read x2
      {8696349, 0, 0, 192 * kMiB, 210 * kMiB},                 // a page at 300 dpi
      {std::uint64_t{1} << 40, 0, 0, 512 * kMiB, 512 * kMiB},  // bounded
  };
  for (const Case& c : cases) {
    const HeapPlan plan = PlanReadingHeap(c.bytes, LibraryHeapBytes({"--read"}));
    EXPECT_GE(plan.Prefault, c.leastPrefault) << c.bytes;
    EXPECT_LE(plan.Prefault, c.mostPrefault) << c.bytes;
    EXPECT_EQ(plan.Prefault % 4096, 0u) << c.bytes;
    EXPECT_GE(plan.LargePages, c.leastLarge) << c.bytes;
    EXPECT_LE(plan.LargePages, c.mostLarge) << c.bytes;
    EXPECT_EQ(plan.LargePages % (2 * kMiB), 0u) << c.bytes;
  }
}

TEST(HeapStart, NamedSetsWriteLessThanTheStockLibraryUnlessInALibraryFile) {
  const std::size_t stock = LibraryHeapBytes({"--read", "a.pgm"});
  const std::size_t one = LibraryHeapBytes({"--read", "--set", "a", "a.pgm"});
  const std::size_t two = LibraryHeapBytes({"--read", "--set", "a", "--set=b", "a.pgm"});
  EXPECT_LT(one, stock);
  EXPECT_GT(two, one);
  for (const char* file : {"--set=mine.sets", "--set=x.PACK"})
    EXPECT_EQ(LibraryHeapBytes({"--read", "--set", "a", file}), stock) << file;
  EXPECT_EQ(LibraryHeapBytes({"--read", "--set"}), stock);  // no name: nothing counted
}

TEST(HeapStart, LargestPictureCountsPngPixelsAndSkipsWhatIsNoFile) {
  TempDir dir;
  const std::string png = dir.Path() + "/page.png", pgm = dir.Path() + "/small.pgm";
  // A PNG's signature and header claiming 3000 x 4000 pixels, in a few bytes of file.
  WriteFile(png, std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x0b\xb8\0\0\x0f\xa0", 24));
  WriteFile(pgm, "P5 2 2 255\n" + std::string(5000, 'x'));
  EXPECT_EQ(LargestPictureBytes({"--read", pgm, png, dir.Path(), dir.Path() + "/none"}),
            3000u * 4000u);
  EXPECT_EQ(LargestPictureBytes({"--read", pgm}), 5011u);
  EXPECT_EQ(LargestPictureBytes({"--read", "--format", "tsv", dir.Path()}), 0u);
}

}  // namespace
}  // namespace morvik
