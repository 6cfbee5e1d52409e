#include "reading_line.h"

namespace morvik {

PictureReading ReadingLine(const std::vector<std::string>& chars, double second) {
  PictureReading r;
  int column = 0;
  const double scores[] = {0.9, second, 0.7};
  for (const std::string& c : chars) {
    if (c == " ") {
      ++column;
      continue;
    }
    ReadCharacter rc;
    rc.Column = column++;
    for (std::size_t k = 0; k < c.size() && k < 3; ++k)
      rc.Best[k] = {0, int(k + 1), scores[k], c[k]};
    r.Chars.push_back(rc);
  }
  return r;
}

std::string ShownLine(const PictureReading& r) {
  std::string s;
  for (const ReadCharacter& c : r.Chars) s += ShownChar(c);
  return s;
}

}  // namespace morvik
