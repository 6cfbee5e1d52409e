#include "core/whole_number.h"

#include <cerrno>
#include <cstdlib>

namespace morvik {

bool ParseWholeNumber(const std::string& text, long& value, bool allowHex) {
  if (text.empty()) return false;
  std::size_t k = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  int base = 10;
  if (allowHex && text.size() > k + 2 && text[k] == '0' &&
      (text[k + 1] == 'x' || text[k + 1] == 'X')) {
    base = 16;
    k += 2;
  }
  if (k >= text.size()) return false;
  for (std::size_t i = k; i < text.size(); ++i) {
    const char c = text[i];
    const bool digit = (c >= '0' && c <= '9') ||
                       (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  errno = 0;
  const long v = std::strtol(text.c_str() + k, nullptr, base);
  const long limit = text[0] == '-' ? 2147483648L : 2147483647L;  // the 32-bit range
  if (errno != 0 || v > limit) return false;
  value = text[0] == '-' ? -v : v;
  return true;
}

}  // namespace morvik
