// The character map: pattern number 0..40 -> the character it stands for, read from
// "charmap.txt", and the single-character compare mode of the command line.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace morvik {

struct CharMapState {
  std::array<char, 41> CharMap{};  // byte 0 until the map file names the number
  bool CharMapLoaded = false;
  bool CharCompareMode = false;
  char ExpectedChar = 0;
};

// Reads the map file: each line a whole number, then the rest of the line; the entry becomes
// the character after a TAB when that rest is exactly a TAB and one character, else a blank.
// Later lines override earlier ones; numbers outside 0..40 are ignored. Returns the problem
// as "<file>: Invalid numeric input" when a number is not a valid integer: the entries read
// before it stay, and CharMapLoaded stays true. A missing file leaves CharMapLoaded false, as
// does one that cannot be read, is not a regular file or holds more than 1 MiB
// (kMaxTextInputBytes); the problem then names the file.
// Returns an empty string when all went well. With problemLine, the line (from 1) of the
// number that was not valid goes there (0 when there was none).
std::string LoadCharMap(const std::string& path, CharMapState& state, int* problemLine = nullptr);

// The same rules on the text of a map file; the problem without a file name.
std::string ParseCharMap(const std::string& text, CharMapState& state, int* problemLine = nullptr);

}  // namespace morvik
