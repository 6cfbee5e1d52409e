#include "fonts/char_list.h"

#include "core/error.h"
#include "fonts/utf8.h"

namespace morvik {

namespace {

std::string Utf8Of(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

}  // namespace

std::u32string ParseCharList(const std::string& list) {
  const std::u32string chars = DecodeUtf8(list);
  std::u32string out;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const bool range = i + 2 < chars.size() && chars[i + 1] == U'-';
    if (!range) {
      out.push_back(chars[i]);
      continue;
    }
    const char32_t first = chars[i], last = chars[i + 2];
    if (last < first)
      throw Error("the character range " + Utf8Of(first) + "-" + Utf8Of(last) + " is reversed");
    for (char32_t c = first; c <= last; ++c) out.push_back(c);
    i += 2;
  }
  return out;
}

}  // namespace morvik
