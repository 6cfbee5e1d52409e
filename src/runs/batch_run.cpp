#include "runs/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "runs/folder_run.h"
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

int CountImages(const std::string& folder) {
  int count = 0;
  std::error_code ec;
  for (int r = 0; r <= 10; ++r)
    for (int c = 0; c <= 10; ++c) count += fs::is_regular_file(BitmapName(folder, r, c), ec);
  return count;
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

std::string RecognizeSubfolder(Workspace& ws, const std::string& path) {
  std::string text;
  if (!DirectoryExists(path)) return text;
  TextFile txt(JoinPath(path, "result.txt")), out(JoinPath(path, "result.out"));
  std::error_code ec;
  for (int r = 0; r <= 10; ++r) {
    bool rowHasImage = false;
    for (int c = 0; c <= 10; ++c) {
      const std::string name = BitmapName(path, r, c);
      if (!fs::is_regular_file(name, ec)) continue;
      rowHasImage = true;
      RecognizeImageFile(ws, name, ws.ThumbnailRow, c, txt, out);
      if (ws.Chars.CharMapLoaded && !ws.Chars.CharCompareMode)
        text += ws.Chars.CharMap[static_cast<std::size_t>(ws.Scores.BestNo)];
    }
    if (rowHasImage) ++ws.ThumbnailRow;
    EndResultRow(txt, out);
    if (!text.empty() && text.back() != ' ') text += ' ';
  }
  txt.Close();
  out.Close();
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

bool ButtonRecBatchClick(Workspace& ws) {
  const std::string rootText = ws.EditPatternsBatch;
  ws.ThumbnailRow = 1;
  ws.View().ThumbnailsCleared();
  ws.SetCurrentFolder(ws.RunFolder);
  if (rootText.empty() || !DirectoryExists(ws.Resolve(rootText))) return false;
  // The root as found on disk, in any case; reports name it as typed.
  const std::string root = ResolveFileName(ws.Resolve(rootText));

  const std::string comparePath = JoinPath(root, "compare.txt");
  const bool haveCompare = FileExists(comparePath);
  TextFile report(JoinPath(root, "batchresult.txt"));
  TextFile texts(JoinPath(root, "batchresult.out"));
  const std::vector<std::string> expectedLines =
      haveCompare ? SplitCompareLines(ReadWholeFile(comparePath)) : std::vector<std::string>();

  const std::vector<std::string> names = ListSubfolders(root);
  // Images per sub-folder, counted once, for the progress report.
  std::vector<int> images;
  int total = 0, done = 0;
  for (const std::string& name : names)
    total += images.emplace_back(CountImages(JoinPath(root, name)));
  std::vector<std::string> recognised;
  for (std::size_t k = 0; k < names.size(); ++k) {
    const std::string& name = names[k];
    const std::string path = JoinPath(root, name);
    recognised.push_back(RecognizeSubfolder(ws, path));
    texts.Write(recognised.back());
    texts.EndLine();
    done += images[k];
    ws.View().Progress("Batch", done, total);
  }

  if (haveCompare) {
    MatchCount overall;
    for (std::size_t k = 0; k < names.size(); ++k) {
      std::string expected = k < expectedLines.size() ? expectedLines[k] : std::string();
      const MatchCount m = CountMatches(expected, recognised[k]);
      overall.Hits += m.Hits;
      overall.Compared += m.Compared;
      report.Write(MatchLine("Directory " + names[k] + ": ", m) + kLineEnd);
      report.Write("Expected:   " + expected + kLineEnd);
      report.Write("Recognized: " + recognised[k] + kLineEnd);
      report.EndLine();
    }
    report.Write(MatchLine("Overall for root " + rootText + ": ", overall) + kLineEnd);
  }
  report.Close();
  texts.Close();
  return true;
}

}  // namespace morvik
