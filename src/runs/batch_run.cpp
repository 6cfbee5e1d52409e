#include "runs/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "runs/folder_run.h"
#include "runs/numbered_bitmaps.h"
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

std::string RecognizeSubfolder(Session& session, const std::string& path, int& thumbnailRow,
                               RunObserver& observer, std::vector<std::string>& failed,
                               SetRun* sets) {
  std::string text;
  if (!DirectoryExists(path)) return text;
  TextFile txt(JoinPath(path, "result.txt")), out(JoinPath(path, "result.out"));
  for (const BitmapRow& row : ListNumberedBitmaps(path, true)) {
    for (const NumberedBitmap& b : row) {
      if (sets) {
        const LibraryMatch best = RecognizeImageFile(*sets, b.Path, thumbnailRow, b.Column, txt,
                                                     out, observer, failed)[0];
        const CharMapState& chars = MatchChars(*sets, best);
        if (chars.CharMapLoaded && !chars.CharCompareMode) text += chars.CharMap[best.No];
        continue;
      }
      const Recognition r =
          RecognizeImageFile(session, b.Path, thumbnailRow, b.Column, txt, out, observer, failed);
      if (session.Chars.CharMapLoaded && !session.Chars.CharCompareMode)
        text += session.Chars.CharMap[r.Best[0].No];
    }
    if (!row.empty()) ++thumbnailRow;
    EndResultRow(txt, out);
    if (!text.empty() && text.back() != ' ') text += ' ';
  }
  ClosePair(txt, out, path);
  return text;
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
  // Images per sub-folder, counted once, for the progress report.
  std::vector<int> images;
  int total = 0;
  for (const std::string& name : names)
    total += images.emplace_back(CountBitmaps(ListNumberedBitmaps(JoinPath(root, name), true)));
  std::vector<std::string> recognised;
  for (std::size_t k = 0; k < names.size(); ++k) {
    recognised.push_back(RecognizeSubfolder(session, JoinPath(root, names[k]),
                                            result.NextThumbnailRow, observer, result.Failed,
                                            options.Sets));
    texts.Write(recognised.back());
    texts.EndLine();
    result.Images += images[k];
    observer.Progress("Batch", result.Images, total);
  }

  if (haveCompare) WriteReport(report, options, names, expected, recognised);
  ClosePair(report, texts, root);
  return result;
}

}  // namespace morvik
