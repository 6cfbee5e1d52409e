#include "fonts/utf8.h"

#include <cstdio>

#include "core/error.h"

namespace morvik {

namespace {

// Length of the sequence a lead byte starts and the bits it carries; 0 for no lead byte.
int SequenceLength(unsigned char lead, char32_t& bits) {
  if (lead < 0x80) return bits = lead, 1;
  if ((lead & 0xE0) == 0xC0) return bits = lead & 0x1F, 2;
  if ((lead & 0xF0) == 0xE0) return bits = lead & 0x0F, 3;
  if ((lead & 0xF8) == 0xF0) return bits = lead & 0x07, 4;
  return 0;
}

bool Valid(char32_t c, int length) {
  static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  return c >= kSmallest[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

}  // namespace

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const int length = SequenceLength(static_cast<unsigned char>(text[i]), c);
    if (length == 0 || i + length > text.size())
      throw Error("the text is not valid UTF-8 at byte " + std::to_string(i + 1));
    for (int k = 1; k < length; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80)
        throw Error("the text is not valid UTF-8 at byte " + std::to_string(i + k + 1));
      c = (c << 6) | (b & 0x3F);
    }
    if (!Valid(c, length))
      throw Error("the text is not valid UTF-8 at byte " + std::to_string(i + 1));
    out.push_back(c);
    i += length;
  }
  return out;
}

std::string EncodeUtf8(const std::u32string& text) {
  std::string s;
  for (const char32_t c : text) {
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
  }
  return s;
}

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string s;
  s.reserve(bytes.size());
  for (const char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    if (c < 0x80) {
      s += b;
    } else {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return s;
}

std::string CodePointName(char32_t c) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04lX", static_cast<unsigned long>(c));
  return name;
}

}  // namespace morvik
