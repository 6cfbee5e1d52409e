#include "learning/cut_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "core/error.h"
#include "core/file_names.h"
#include "core/folder_lock.h"
#include "core/regular_file.h"
#include "core/safe_write.h"
#include "image/bmp_writer.h"
#include "segment/cut.h"

namespace morvik {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarkerTitle = "# files written by morvik --read --cut";
constexpr std::size_t kMaxMarkerBytes = 64 << 20;

// "<digits>_<digits>.bmp" in any case: a name a run would read, and the only kind of name a
// marker may make a cut remove.
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

// One file of the cut: its name in the folder and the character it shows (none: a blank).
struct CutItem {
  std::string Name;
  const ReadCharacter* Char;
};

std::vector<CutItem> PlanCut(const PictureReading& reading) {
  std::vector<CutItem> items;
  int line = 0, column = 0;
  auto name = [&] { return std::to_string(line) + "_" + std::to_string(column) + ".bmp"; };
  for (const ReadCharacter& c : reading.Chars) {
    if (c.Line != line) line = c.Line, column = 0;
    for (; column < c.Column; ++column) items.push_back({name(), nullptr});
    items.push_back({name(), c.Blank ? nullptr : &c});
    ++column;
  }
  return items;
}

void MakeFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder, ec))
    throw FileError(folder, "cannot make the folder" + (ec ? " (" + ec.message() + ")" : ""),
                    ErrorKind::kCannotWrite);
}

std::set<std::string> FolderNames(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
    names.insert(entry.path().filename().string());
  if (ec)
    throw FileError(folder, "cannot list the folder (" + ec.message() + ")",
                    ErrorKind::kCannotWrite);
  return names;
}

// The names an earlier cut's marker lists; false when there is no marker (or a file of that
// name that is not one of ours).
bool ReadMarker(const std::string& folder, std::set<std::string>& listed) {
  const std::string path = JoinPath(folder, kCutMarkerName);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::istringstream in(ReadRegularFile(path, kMaxMarkerBytes));
  std::string line;
  if (!std::getline(in, line) || line != kMarkerTitle) return false;
  while (std::getline(in, line))
    if (IsCutName(line)) listed.insert(line);
  return true;
}

// What the earlier cut in folder wrote, which this one replaces; throws when the folder
// holds anything this cut may not replace.
std::set<std::string> EarlierCut(const std::string& folder, const std::vector<CutItem>& items) {
  const std::set<std::string> present = FolderNames(folder);
  std::set<std::string> listed;
  if (present.empty()) return listed;
  if (!ReadMarker(folder, listed))
    throw FileError(folder,
                    "holds files that no earlier cut wrote; a cut goes into a new or empty "
                    "folder, or one an earlier cut made",
                    ErrorKind::kCannotWrite);
  for (const CutItem& item : items)
    if (present.count(item.Name) && !listed.count(item.Name))
      throw FileError(JoinPath(folder, item.Name), "was not written by an earlier cut",
                      ErrorKind::kCannotWrite);
  return listed;
}

void RemoveEarlier(const std::string& folder, const std::set<std::string>& listed) {
  for (const std::string& name : listed) {
    const std::string path = JoinPath(folder, name);
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
      throw FileError(path,
                      std::string("cannot remove the earlier cut (") + std::strerror(errno) + ")",
                      ErrorKind::kCannotWrite);
  }
}

// Listed before the files are written, so that a cut broken off is still removed whole.
void WriteMarker(const std::string& folder, const std::vector<CutItem>& items) {
  std::string text = std::string(kMarkerTitle) + "\n";
  for (const CutItem& item : items) text += item.Name + "\n";
  WriteNewContents(JoinPath(folder, kCutMarkerName), text);
}

}  // namespace

void WriteCutFolder(const Bitmap& picture, const PictureReading& reading,
                    const std::string& folder) {
  const std::vector<CutItem> items = PlanCut(reading);
  MakeFolder(folder);
  const FolderLock lock(folder);
  RemoveEarlier(folder, EarlierCut(folder, items));
  WriteMarker(folder, items);
  // The characters as the reading read them: from the picture it read, turned straight.
  const GreyImage grey = ReadFromGrey(ReadingGrey(picture), reading);
  const Bitmap blank(2 * kCutMargin, 2 * kCutMargin);
  for (const CutItem& item : items) {
    if (!item.Char) {
      WriteBmpFile(JoinPath(folder, item.Name), blank);
      continue;
    }
    const auto k = static_cast<std::size_t>(item.Char - reading.Chars.data());
    const CharBox& box = reading.ReadBoxes.empty() ? item.Char->Box : reading.ReadBoxes[k];
    WriteBmpFile(JoinPath(folder, item.Name), RecognitionCut(grey, box, reading.Cut.DarkOnLight));
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
