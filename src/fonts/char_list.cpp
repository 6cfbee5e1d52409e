#include "fonts/char_list.h"

#include "core/error.h"
#include "fonts/utf8.h"

namespace morvik {

namespace {

std::string Utf8Of(char32_t c) {
  return EncodeUtf8(std::u32string{c});
}

}  // namespace

std::u32string ParseCharList(const std::string& list) {
  std::u32string chars;
  try {
    chars = DecodeUtf8(list);
  } catch (const Error& e) {
    throw Error(std::string("the character list: ") + e.what(), ErrorKind::kUsage);
  }
  std::u32string out;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const bool range = i + 2 < chars.size() && chars[i + 1] == U'-';
    if (!range) {
      out.push_back(chars[i]);
      continue;
    }
    const char32_t first = chars[i], last = chars[i + 2];
    if (last < first)
      throw Error("the character range " + Utf8Of(first) + "-" + Utf8Of(last) + " is reversed",
                  ErrorKind::kUsage);
    for (char32_t c = first; c <= last; ++c) out.push_back(c);
    i += 2;
  }
  return out;
}

}  // namespace morvik
