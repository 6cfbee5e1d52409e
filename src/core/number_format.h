// General number format of every score the system writes or shows: at most `digits`
// significant digits, "." as decimal point, no trailing zeros and no bare point.
#pragma once

#include <string>

namespace morvik {

// An exact decimal tie at the cut digit rounds away from zero, judged on the exact binary
// value (0.8125 -> "0.813", 0.675 -> "0.675", since 0.675 is just above in binary).
// Scientific notation ("1.5E-006") only below 0.00001 or from 10^digits up.
// digits is 1..18. A product that is never stored (a score times 100) is formatted at the
// extended precision it was formed in.
std::string FormatGeneral(long double value, int digits);
inline std::string FormatGeneral(double value, int digits) {
  return FormatGeneral(static_cast<long double>(value), digits);
}

// Scores in files and thumbnails: 3 significant digits.
inline std::string FormatScore(double value) {
  return FormatGeneral(value, 3);
}
inline std::string FormatScore(long double value) {
  return FormatGeneral(value, 3);
}

}  // namespace morvik
