// UTF-8 text decoded into code points, for the character lists and lines the renderer takes,
// and code points written as UTF-8 or named for messages.
#pragma once

#include <string>

namespace morvik {

// The code points of text. Throws Error on a malformed, overlong or surrogate sequence.
std::u32string DecodeUtf8(const std::string& text);

// The UTF-8 bytes of the code points (each taken as valid).
std::string EncodeUtf8(const std::u32string& text);

// The UTF-8 of Latin-1 bytes: each byte is the code point of its value, as character maps
// hold them.
std::string Latin1ToUtf8(const std::string& bytes);

// "U+00E9": the code point in hexadecimal, at least four digits.
std::string CodePointName(char32_t c);

}  // namespace morvik
