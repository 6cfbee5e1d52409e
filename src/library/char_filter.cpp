#include "library/char_filter.h"

#include "core/error.h"
#include "fonts/char_list.h"
#include "fonts/utf8.h"

namespace morvik {

namespace {

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

CharFilter ParseCharFilter(const std::string& list) {
  CharFilter filter;
  filter.Active = true;
  for (const char32_t c : ParseCharList(list)) {
    if (c == U' ') continue;  // blanks only separate
    if (c > 0xFF)
      throw Error("character list " + Quoted(list) + ": " + CodePointName(c) +
                      " is beyond what a character map holds (U+00FF)",
                  ErrorKind::kUsage);
    filter.Chars.set(c);
  }
  if (filter.Chars.none())
    throw Error("character list " + Quoted(list) + " names no character", ErrorKind::kUsage);
  return filter;
}

bool IsCandidate(const CharFilter& filter, const CharMapState& chars, int no) {
  if (!filter.Active) return true;
  if (!chars.CharMapLoaded || no < 1 || no >= static_cast<int>(chars.CharMap.size())) return false;
  const char c = chars.CharMap[static_cast<std::size_t>(no)];
  return c != 0 && c != ' ' && filter.Chars.test(Byte(c));
}

}  // namespace morvik
