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
  const auto fail = [&](const std::string& problem) {
    return Error("character list \"" + list + "\": " + problem, ErrorKind::kUsage);
  };
  std::u32string chars;
  try {
    chars = DecodeUtf8(list);
  } catch (const Error& e) {
    throw fail(e.what());
  }
  std::u32string out;
  const std::size_t n = chars.size();
  for (std::size_t k = 0; k < n; ++k) {
    const bool range =
        k + 2 < n && chars[k + 1] == U'-' && chars[k] != U' ' && chars[k + 2] != U' ';
    const char32_t first = chars[k], last = range ? chars[k + 2] : chars[k];
    if (last < first)
      throw fail("the range " + Utf8Of(first) + "-" + Utf8Of(last) + " is reversed");
    for (char32_t c = first; c <= last; ++c) out.push_back(c);
    if (range) k += 2;
  }
  return out;
}

}  // namespace morvik
