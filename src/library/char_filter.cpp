#include "library/char_filter.h"

#include "core/error.h"
#include "fonts/utf8.h"

namespace morvik {

namespace {

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// "a-b" of a range, for messages.
std::string RangeText(char32_t first, char32_t last) {
  return EncodeUtf8(std::u32string{first}) + "-" + EncodeUtf8(std::u32string{last});
}

}  // namespace

CharFilter ParseCharFilter(const std::string& list) {
  const auto fail = [&](const std::string& problem) {
    return Error("character list " + Quoted(list) + problem, ErrorKind::kUsage);
  };
  std::u32string chars;
  try {
    chars = DecodeUtf8(list);
  } catch (const Error& e) {
    throw fail(std::string(": ") + e.what());
  }
  CharFilter filter;
  filter.Active = true;
  const std::size_t n = chars.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (chars[k] == U' ') continue;
    const bool range = k + 2 < n && chars[k + 1] == U'-' && chars[k + 2] != U' ';
    const char32_t first = chars[k], last = range ? chars[k + 2] : chars[k];
    if (first > last) throw fail(": the range " + RangeText(first, last) + " runs backwards");
    if (last > 0xFF)
      throw fail(": " + CodePointName(last) + " is beyond what a character map holds (U+00FF)");
    for (char32_t c = first; c <= last; ++c) filter.Chars.set(c);
    if (range) k += 2;
  }
  if (filter.Chars.none()) throw fail(" names no character");
  return filter;
}

bool IsCandidate(const CharFilter& filter, const CharMapState& chars, int no) {
  if (!filter.Active) return true;
  if (!chars.CharMapLoaded || no < 1 || no >= static_cast<int>(chars.CharMap.size())) return false;
  const char c = chars.CharMap[static_cast<std::size_t>(no)];
  return c != 0 && c != ' ' && filter.Chars.test(Byte(c));
}

}  // namespace morvik
