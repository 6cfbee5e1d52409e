// Rows compared inline in words and vectors that overlap at the end: every length from empty
// to past four vectors, equal or differing in any one byte (the first, the last, and those
// only an overlapping word or vector sees).
#include "image/same_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace morvik {
namespace {

TEST(SameBytesTest, FindsAnyDifferenceAtEveryLength) {
  for (std::size_t n = 0; n <= 70; ++n) {
    std::vector<std::uint8_t> a(n + 1), b(n + 1);
    for (std::size_t i = 0; i <= n; ++i) a[i] = b[i] = static_cast<std::uint8_t>(3 * i + 1);
    b[n] = 0;  // past the end: never compared
    EXPECT_TRUE(SameBytes(a.data(), b.data(), n)) << n;
    for (std::size_t at = 0; at < n; ++at) {
      b[at] ^= 0x80;
      EXPECT_FALSE(SameBytes(a.data(), b.data(), n)) << n << " " << at;
      b[at] ^= 0x80;
    }
  }
}

}  // namespace
}  // namespace morvik
