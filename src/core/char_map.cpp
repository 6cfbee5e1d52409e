#include "core/char_map.h"

#include "core/error.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/whole_number.h"

namespace morvik {

namespace {

bool IsSpace(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string ParseCharMap(const std::string& text, CharMapState& state, int* problemLine) {
  std::size_t pos = 0;
  const std::size_t n = text.size();
  int line = 1;  // of pos, counted at each LF
  if (problemLine) *problemLine = 0;
  while (pos < n) {
    // The number: skip every character 0..32 (line ends included), then read up to the next.
    for (; pos < n && IsSpace(text[pos]); ++pos)
      if (text[pos] == '\n') ++line;
    long number = 0;
    if (pos < n) {
      const std::size_t start = pos;
      while (pos < n && !IsSpace(text[pos])) ++pos;
      if (!ParseWholeNumber(text.substr(start, pos - start), number, false)) {
        if (problemLine) *problemLine = line;
        return "Invalid numeric input";
      }
    }
    // The rest of the line, up to CR LF or LF.
    const std::size_t start = pos;
    while (pos < n && text[pos] != '\n' && text[pos] != '\r') ++pos;
    const std::string rest = text.substr(start, pos - start);
    if (pos < n && text[pos] == '\r') ++pos;
    if (pos < n && text[pos] == '\n') {
      ++pos;
      ++line;
    }
    if (number < 0 || number > 40) continue;
    state.CharMap[number] = (rest.size() == 2 && rest[0] == '\t') ? rest[1] : ' ';
  }
  return "";
}

std::string LoadCharMap(const std::string& path, CharMapState& state, int* problemLine) {
  state.CharMapLoaded = false;
  if (problemLine) *problemLine = 0;
  if (!FileExists(path)) return "";
  std::string text;
  try {
    text = ReadWholeFile(path);
  } catch (const Error& e) {
    return e.what();  // a map that could not be read is not loaded
  }
  state.CharMapLoaded = true;
  const std::string problem = ParseCharMap(text, state, problemLine);
  return problem.empty() ? problem : ResolveFileName(path) + ": " + problem;
}

}  // namespace morvik
