#include "library/char_filter.h"

#include "core/error.h"

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
  const std::size_t n = list.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (list[k] == ' ') continue;
    if (k + 2 < n && list[k + 1] == '-' && list[k + 2] != ' ') {
      const unsigned first = Byte(list[k]), last = Byte(list[k + 2]);
      if (first > last)
        throw Error("character list " + Quoted(list) + ": the range " + list.substr(k, 3) +
                    " runs backwards");
      for (unsigned c = first; c <= last; ++c) filter.Chars.set(c);
      k += 2;
    } else {
      filter.Chars.set(Byte(list[k]));
    }
  }
  if (filter.Chars.none()) throw Error("character list " + Quoted(list) + " names no character");
  return filter;
}

bool IsCandidate(const CharFilter& filter, const CharMapState& chars, int no) {
  if (!filter.Active) return true;
  if (!chars.CharMapLoaded || no < 1 || no >= static_cast<int>(chars.CharMap.size())) return false;
  const char c = chars.CharMap[static_cast<std::size_t>(no)];
  return c != 0 && c != ' ' && filter.Chars.test(Byte(c));
}

}  // namespace morvik
