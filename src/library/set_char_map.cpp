#include "library/set_char_map.h"

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

std::string SetCharMapPath(const std::string& base) {
  return base + ".charmap.txt";
}

CharMapState LoadSetCharMap(const std::string& base) {
  const std::string path = SetCharMapPath(base);
  CharMapState chars;
  const std::optional<std::string> text = ReadSmallFile(path, kMaxSetFileBytes);
  if (!text) return chars;
  chars.CharMapLoaded = true;
  if (const std::string problem = ParseCharMap(*text, chars); !problem.empty())
    throw FileError(ResolveFileName(path), problem);
  return chars;
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
      throw FileError(path, "pattern " + std::to_string(n) + " maps to a line end");
    text += std::to_string(n) + '\t' + c + "\r\n";
  }
  group.Replace(path, text);
}

}  // namespace morvik
