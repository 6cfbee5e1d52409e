#include "reading/cut_folder.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/error.h"
#include "core/file_names.h"
#include "image/bmp_writer.h"
#include "segment/cut.h"

namespace morvik {

namespace fs = std::filesystem;

std::string CutFileName(const std::string& folder, int line, int column) {
  return JoinPath(folder, std::to_string(line) + "_" + std::to_string(column) + ".bmp");
}

namespace {

// "<digits>_<digits>.bmp" in any case: a name a run would read.
bool IsCutName(const std::string& name) {
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > start;
  };
  if (!digits() || i >= name.size() || name[i++] != '_' || !digits()) return false;
  std::string ext = name.substr(i);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".bmp";
}

void PrepareFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder, ec))
    throw FileError(folder, "cannot make the folder" + (ec ? ": " + ec.message() : ""));
  std::vector<fs::path> earlier;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    std::error_code kind;
    if (entry.is_regular_file(kind) && IsCutName(entry.path().filename().string()))
      earlier.push_back(entry.path());
  }
  if (ec) throw FileError(folder, "cannot list the folder: " + ec.message());
  for (const fs::path& path : earlier)
    if (!fs::remove(path, ec) && ec)
      throw FileError(path.string(), "cannot remove the earlier cut: " + ec.message());
}

}  // namespace

void WriteCutFolder(const Bitmap& picture, const PictureReading& reading,
                    const std::string& folder) {
  PrepareFolder(folder);
  const GreyImage grey = ReadingGrey(picture);
  const Bitmap blank(2 * kCutMargin, 2 * kCutMargin);
  int line = 0, column = 0;
  for (const ReadCharacter& c : reading.Chars) {
    if (c.Line != line) line = c.Line, column = 0;
    for (; column < c.Column; ++column) WriteBmpFile(CutFileName(folder, line, column), blank);
    WriteBmpFile(CutFileName(folder, line, column++),
                 c.Blank ? blank : RecognitionCut(grey, c.Box, reading.Cut.DarkOnLight));
  }
}

std::size_t CutFileCount(const PictureReading& reading) {
  // A line's files run from column 0 to its last character's column.
  std::size_t count = 0;
  const std::vector<ReadCharacter>& chars = reading.Chars;
  for (std::size_t i = 0; i < chars.size(); ++i)
    if (i + 1 == chars.size() || chars[i + 1].Line != chars[i].Line)
      count += static_cast<std::size_t>(chars[i].Column) + 1;
  return count;
}

}  // namespace morvik
