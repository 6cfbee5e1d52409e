#include "core/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace morvik {

namespace {

struct Decimal {
  std::string digits;  // significant digits, first one non-zero
  int exponent = 0;    // value = d.ddd x 10^exponent
};

// The first `digits` significant digits of |value| > 0, rounded half away from zero.
// A value that is not an exact tie differs from it within the first 40 or so digits (its
// binary fraction has at most 64 + 17 bits in the ranges scores take), so 60 tell them apart.
Decimal RoundDecimal(long double value, int digits) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.60Le", std::fabs(value));
  std::string all(1, buf[0]);
  const char* p = buf + 2;
  while (*p != 'e') all += *p++;
  Decimal d{all.substr(0, digits), std::atoi(p + 1)};
  if (all[digits] >= '5') {
    int k = digits - 1;
    while (k >= 0 && d.digits[k] == '9') d.digits[k--] = '0';
    if (k >= 0) {
      ++d.digits[k];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      d.digits.pop_back();
      ++d.exponent;
    }
  }
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string Fixed(const Decimal& d) {
  if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + d.digits;
  const std::size_t intDigits = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits.size() <= intDigits) return d.digits + std::string(intDigits - d.digits.size(), '0');
  return d.digits.substr(0, intDigits) + "." + d.digits.substr(intDigits);
}

std::string Scientific(const Decimal& d) {
  std::string s = d.digits.substr(0, 1);
  if (d.digits.size() > 1) s += "." + d.digits.substr(1);
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%03d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
  return s + exp;
}

}  // namespace

std::string FormatGeneral(long double value, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  const Decimal d = RoundDecimal(value, digits);
  const std::string body = d.exponent < -5 || d.exponent >= digits ? Scientific(d) : Fixed(d);
  return value < 0 ? "-" + body : body;
}

}  // namespace morvik
