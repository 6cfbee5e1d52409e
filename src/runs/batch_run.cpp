#include "runs/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "runs/folder_run.h"
#include "runs/numbered_bitmaps.h"
#include "runs/run_pictures.h"
#include "runs/text_file.h"

namespace fs = std::filesystem;

namespace morvik {

namespace {

// Names compared as a Windows listing orders them: ASCII letters folded to upper case (so "_"
// and "[" sort after the letters), ties in byte order.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto upper = [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A')
                                  : static_cast<unsigned char>(c);
  };
  const auto less = [&](char x, char y) { return upper(x) < upper(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less)) return false;
  return a < b;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string MatchLine(const std::string& prefix, const MatchCount& m) {
  return prefix + std::to_string(m.Hits) + "/" + std::to_string(m.Compared) + " (" +
         std::to_string(MatchPercent(m)) + "%)";
}

}  // namespace

std::vector<std::string> ListSubfolders(const std::string& root) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code sec;
    if (it->is_symlink(sec) || !it->is_directory(sec)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  return names;
}

namespace {

// One sub-folder's pictures, listed before the run starts.
struct Subfolder {
  std::string Path;
  bool Found = false;
  std::vector<BitmapRow> Rows;
};

Subfolder ListSubfolder(const std::string& path, std::vector<std::string>& paths) {
  Subfolder folder{path, DirectoryExists(path), {}};
  if (folder.Found) folder.Rows = ListNumberedBitmaps(path, true);
  AppendPicturePaths(folder.Rows, paths);
  return folder;
}

// Writes the sub-folder's result files from its pictures, the next ones of the run.
std::string WriteSubfolder(Session& session, const Subfolder& folder, int& thumbnailRow,
                           RunObserver& observer, std::vector<std::string>& failed, SetRun* sets,
                           RunPictures& pictures) {
  std::string text;
  if (!folder.Found) return text;
  TextFile txt(JoinPath(folder.Path, "result.txt")), out(JoinPath(folder.Path, "result.out"));
  for (const BitmapRow& row : folder.Rows) {
    for (const NumberedBitmap& b : row) {
      if (const std::optional<char> c =
              WriteRunPicture(session, sets, b.Path, pictures.Next(), thumbnailRow, b.Column, txt,
                              out, observer, failed))
        text += *c;
    }
    if (!row.empty()) ++thumbnailRow;
    EndResultRow(txt, out);
    if (!text.empty() && text.back() != ' ') text += ' ';
  }
  ClosePair(txt, out, folder.Path);
  return text;
}

}  // namespace

std::string RecognizeSubfolder(Session& session, const std::string& path, int& thumbnailRow,
                               RunObserver& observer, std::vector<std::string>& failed,
                               SetRun* sets) {
  std::vector<std::string> paths;
  const Subfolder folder = ListSubfolder(path, paths);
  RunPictures pictures(session, sets, std::move(paths), 1);
  return WriteSubfolder(session, folder, thumbnailRow, observer, failed, sets, pictures);
}

std::vector<std::string> SplitCompareLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (text[k] != '\r') {
      line += text[k];
    }
  }
  // A last line without a line end still counts; a file ending in a line end adds none.
  if (!text.empty() && text.back() != '\n') lines.push_back(line);
  return lines;
}

MatchCount CountMatches(std::string& expected, std::string& recognised) {
  expected = Trim(expected);
  recognised = Trim(recognised);
  MatchCount m;
  const std::size_t n = std::min(expected.size(), recognised.size());
  for (std::size_t i = 0; i < n; ++i) {
    ++m.Compared;
    if (expected[i] == recognised[i]) ++m.Hits;
  }
  return m;
}

int MatchPercent(const MatchCount& m) {
  return m.Compared == 0 ? 0 : m.Hits * 100 / m.Compared;
}

namespace {

void WriteReport(TextFile& report, const BatchRunOptions& options,
                 const std::vector<std::string>& names, const std::vector<std::string>& expected,
                 std::vector<std::string>& recognised) {
  MatchCount overall;
  for (std::size_t k = 0; k < names.size(); ++k) {
    std::string line = k < expected.size() ? expected[k] : std::string();
    const MatchCount m = CountMatches(line, recognised[k]);
    overall.Hits += m.Hits;
    overall.Compared += m.Compared;
    report.Write(MatchLine("Directory " + names[k] + ": ", m) + kLineEnd);
    report.Write("Expected:   " + line + kLineEnd);
    report.Write("Recognized: " + recognised[k] + kLineEnd);
    report.EndLine();
  }
  report.Write(MatchLine("Overall for root " + options.RootName + ": ", overall) + kLineEnd);
}

}  // namespace

BatchRunResult RecognizeBatch(Session& session, const BatchRunOptions& options,
                              RunObserver& observer) {
  BatchRunResult result;
  observer.RunStarted();
  if (options.Root.empty() || !DirectoryExists(options.Root)) return result;
  result.RootFound = true;
  // The root as found on disk, in any case.
  const std::string root = ResolveFileName(options.Root);

  const std::string comparePath = JoinPath(root, "compare.txt");
  const bool haveCompare = FileExists(comparePath);
  TextFile report(JoinPath(root, "batchresult.txt"));
  TextFile texts(JoinPath(root, "batchresult.out"));
  const std::vector<std::string> expected =
      haveCompare ? SplitCompareLines(ReadWholeFile(comparePath)) : std::vector<std::string>();

  const std::vector<std::string> names = ListSubfolders(root);
  // Every picture listed once, before the run: the progress report counts them, and the
  // run recognises them in one stream whatever sub-folder they are in.
  std::vector<Subfolder> folders;
  std::vector<std::string> paths;
  for (const std::string& name : names)
    folders.push_back(ListSubfolder(JoinPath(root, name), paths));
  const int total = static_cast<int>(paths.size());
  RunPictures pictures(session, options.Sets, std::move(paths), options.Jobs);
  std::vector<std::string> recognised;
  for (const Subfolder& folder : folders) {
    recognised.push_back(WriteSubfolder(session, folder, result.NextThumbnailRow, observer,
                                        result.Failed, options.Sets, pictures));
    texts.Write(recognised.back());
    texts.EndLine();
    result.Images += CountBitmaps(folder.Rows);
    observer.Progress("Batch", result.Images, total);
  }

  if (haveCompare) WriteReport(report, options, names, expected, recognised);
  ClosePair(report, texts, root);
  return result;
}

}  // namespace morvik
