// The general number format of scores: significant digits, exact binary ties rounded away
// from zero, trailing zeros dropped, and where scientific notation begins.
#include "core/number_format.h"

#include <gtest/gtest.h>

#include <string>

namespace morvik {
namespace {

struct FormatCase {
  double value;
  int digits;
  std::string text;
};

class FormatGeneralTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatGeneralTest, Writes) {
  EXPECT_EQ(FormatGeneral(GetParam().value, GetParam().digits), GetParam().text)
      << GetParam().value << " at " << GetParam().digits;
}

INSTANTIATE_TEST_SUITE_P(
    Scores, FormatGeneralTest,
    testing::Values(FormatCase{0.8125, 3, "0.813"},  // exact tie: away from zero
                    FormatCase{0.9375, 3, "0.938"}, FormatCase{0.9375, 6, "0.9375"},
                    FormatCase{0.675, 3, "0.675"},  // just above 0.675 in binary
                    FormatCase{1.0, 3, "1"}, FormatCase{0.0, 3, "0"}, FormatCase{0.85, 3, "0.85"},
                    FormatCase{0.5, 3, "0.5"}, FormatCase{0.91234, 3, "0.912"},
                    FormatCase{0.8571, 3, "0.857"}, FormatCase{0.9, 3, "0.9"},
                    FormatCase{0.4166666666666667, 6, "0.416667"},
                    FormatCase{0.41666666666666663, 3, "0.417"}, FormatCase{91.2, 3, "91.2"},
                    FormatCase{91.234, 3, "91.2"}, FormatCase{85, 3, "85"},
                    FormatCase{100, 3, "100"}, FormatCase{0.0625, 3, "0.0625"},
                    FormatCase{0.999, 3, "0.999"}, FormatCase{0.9996, 3, "1"}));

INSTANTIATE_TEST_SUITE_P(
    Ties, FormatGeneralTest,
    testing::Values(FormatCase{0.0625, 2, "0.063"}, FormatCase{0.125, 2, "0.13"},
                    FormatCase{2.5, 1, "3"}, FormatCase{-0.8125, 3, "-0.813"},
                    FormatCase{0.45, 1, "0.5"},   // 0.4500000000000000111 in binary
                    FormatCase{0.35, 1, "0.3"},   // 0.3499999999999999778 in binary
                    FormatCase{1.005, 3, "1"}));  // 1.00499999999999989 in binary

INSTANTIATE_TEST_SUITE_P(
    Range, FormatGeneralTest,
    testing::Values(FormatCase{0.00001, 3, "0.00001"}, FormatCase{0.0000123456, 3, "0.0000123"},
                    FormatCase{0.0000099999, 3, "0.00001"},  // rounds up into fixed range
                    FormatCase{0.0000099, 3, "9.9E-006"}, FormatCase{1.5e-6, 3, "1.5E-006"},
                    FormatCase{1e-300, 3, "1E-300"}, FormatCase{999, 3, "999"},
                    FormatCase{999.4, 3, "999"}, FormatCase{999.5, 3, "1E+003"},
                    FormatCase{1000, 3, "1E+003"}, FormatCase{1234.5, 3, "1.23E+003"},
                    FormatCase{123456, 6, "123456"}, FormatCase{1234567, 6, "1.23457E+006"},
                    FormatCase{1e300, 3, "1E+300"}, FormatCase{-0.5, 3, "-0.5"}));

TEST(FormatScore, UsesThreeDigits) {
  EXPECT_EQ(FormatScore(0.91234), "0.912");
  EXPECT_EQ(FormatScore(0.9375), "0.938");
  EXPECT_EQ(FormatScore(1.0), "1");
}

TEST(FormatScore, ExtendedProductsAreFormattedAsFormed) {
  // The mean of H 0.875 and V 0.95 is stored just below 0.9125; times 100 in extended it
  // stays below 91.25, while the same product rounded to a double is exactly 91.25.
  const double score = static_cast<double>((0.875L + 0.95) / 2);
  EXPECT_EQ(FormatScore(static_cast<long double>(score) * 100), "91.2");
  EXPECT_EQ(FormatScore(static_cast<double>(static_cast<long double>(score) * 100)), "91.3");
}

}  // namespace
}  // namespace morvik
