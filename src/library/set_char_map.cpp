#include "library/set_char_map.h"

#include <algorithm>
#include <array>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

namespace {

Error BadLine(const std::string& file, int line, const std::string& problem) {
  return FileError(file, "line " + std::to_string(line) + ": " + problem, ErrorKind::kBadData);
}

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// The pattern number of a line, before its TAB: decimal digits after optional blanks.
int NumberOf(const std::string& field, const std::string& file, int line) {
  const std::size_t start = field.find_first_not_of(' ');
  const std::string digits = start == std::string::npos ? "" : field.substr(start);
  if (digits.empty() || digits.size() > 2 ||
      digits.find_first_not_of("0123456789") != std::string::npos || std::stoi(digits) > 40)
    throw BadLine(file, line, "\"" + field + "\" is not a pattern number from 0 to 40");
  return std::stoi(digits);
}

}  // namespace

CharMapState ParseStrictCharMap(const std::string& text, const std::string& file) {
  CharMapState chars;
  chars.CharMapLoaded = true;
  std::array<int, 41> namedOn{};  // the line that mapped each number
  const std::vector<std::string> lines = TextLines(text);
  for (int line = 1; line <= static_cast<int>(lines.size()); ++line) {
    const std::string& entry = lines[static_cast<std::size_t>(line) - 1];
    if (Blank(entry)) continue;
    const std::size_t tab = entry.find('\t');
    const int number = NumberOf(entry.substr(0, tab), file, line);
    const std::string character = tab == std::string::npos ? "" : entry.substr(tab + 1);
    if (character.size() != 1 || character[0] == '\0' || character[0] == '\r')
      throw BadLine(file, line,
                    "pattern " + std::to_string(number) + " needs a TAB and one character");
    const auto n = static_cast<std::size_t>(number);
    if (namedOn[n] != 0)
      throw BadLine(file, line,
                    "pattern " + std::to_string(number) + " is mapped on line " +
                        std::to_string(namedOn[n]) + " already");
    namedOn[n] = line;
    chars.CharMap[n] = character[0];
  }
  if (std::all_of(namedOn.begin(), namedOn.end(), [](int l) { return l == 0; }))
    throw FileError(file, "maps no pattern to a character", ErrorKind::kBadData);
  return chars;
}

std::string SetCharMapPath(const std::string& base) {
  return base + ".charmap.txt";
}

CharMapState LoadSetCharMap(const std::string& base) {
  const std::string path = SetCharMapPath(base);
  CharMapState chars;
  const std::optional<std::string> text = ReadSmallFile(path, kMaxSetFileBytes);
  if (!text) return chars;
  return ParseStrictCharMap(*text, ResolveFileName(path));
}

CharMapState LoadStrictCharMap(const std::string& path) {
  const std::optional<std::string> text = ReadSmallFile(path, kMaxSetFileBytes);
  if (!text) throw FileError(path, "character map not found", ErrorKind::kNotFound);
  return ParseStrictCharMap(*text, ResolveFileName(path));
}

void SaveSetCharMap(const std::string& base, const CharMapState& chars) {
  ReplacementGroup group;
  StageSetCharMap(group, base, chars);
  group.Commit();
}

void StageSetCharMap(ReplacementGroup& group, const std::string& base, const CharMapState& chars) {
  const std::string path = ResolveFileName(SetCharMapPath(base));
  if (!chars.CharMapLoaded) {
    group.Remove(path);
    return;
  }
  std::string text;
  for (std::size_t n = 0; n < chars.CharMap.size(); ++n) {
    const char c = chars.CharMap[n];
    if (c == 0) continue;
    if (c == '\r' || c == '\n')
      throw FileError(path, "pattern " + std::to_string(n) + " maps to a line end",
                      ErrorKind::kCannotWrite);
    text += std::to_string(n) + '\t' + c + "\r\n";
  }
  group.Replace(path, text);
}

}  // namespace morvik
