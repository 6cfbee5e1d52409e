// libFuzzer entry point for character maps: a set's own map (<base>.charmap.txt) is read
// whole and names a character, or is refused; the folder runs' lenient reading of
// charmap.txt never writes outside its 41 entries.
#include "library/set_char_map.h"
#include "set_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  morvik::CharMapState lenient;
  morvik::ParseCharMap(text, lenient);
  return morvik::fuzz::CheckSetFile([&] {
    const morvik::CharMapState map = morvik::ParseStrictCharMap(text, morvik::fuzz::kFile);
    bool any = false;
    for (const char c : map.CharMap) any = any || c != 0;
    if (!map.CharMapLoaded || !any) std::abort();
  });
}
