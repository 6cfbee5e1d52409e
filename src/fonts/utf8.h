// UTF-8 text decoded into code points, for the character lists and lines the renderer takes.
#pragma once

#include <string>

namespace morvik {

// The code points of text. Throws Error on a malformed, overlong or surrogate sequence.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace morvik
