#include "runs/folder_run.h"

#include <filesystem>
#include <system_error>

#include "core/file_names.h"
#include "core/normalize.h"
#include "core/number_format.h"
#include "image/bitmap_to_pattern.h"

namespace morvik {

namespace {

// Bitmap names are taken as they are; only set and result names are matched by case.
bool BitmapExists(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(name, ec);
}

// The old result files stay readable until the new ones replace them whole on Close.
struct ResultFiles {
  TextFile txt, out;
  explicit ResultFiles(const std::string& folder)
      : txt(JoinPath(folder, "result.txt")), out(JoinPath(folder, "result.out")) {}
  void Close() {
    txt.Close();
    out.Close();
  }
};

// Common preparation: the run folder becomes current; the folder must exist.
bool PrepareRun(Workspace& ws, std::string& folder) {
  ws.SetCurrentFolder(ws.RunFolder);
  // An empty name names no folder (not the run folder).
  if (ws.EditPatternsBatch.empty()) return false;
  folder = ws.Resolve(ws.EditPatternsBatch);
  if (!DirectoryExists(folder)) return false;
  folder = ResolveFileName(folder);
  ws.View().ThumbnailsCleared();
  return true;
}

}  // namespace

std::string BitmapName(const std::string& folder, int row, int column) {
  return JoinPath(folder, std::to_string(row) + "_" + std::to_string(column) + ".bmp");
}

std::string ResultOutItem(const CharMapState& chars, int n, double s) {
  if (!chars.CharMapLoaded) return std::string(1, static_cast<char>('0' + n % 10));
  const char mapped = chars.CharMap[static_cast<std::size_t>(n)];
  if (!chars.CharCompareMode) return std::string(1, mapped);
  return mapped == chars.ExpectedChar ? FormatScore(s) : "N";
}

void RecognizeImageFile(Workspace& ws, const std::string& fileName, int row, int column,
                        TextFile& resultTxt, TextFile& resultOut) {
  LoadTestPicFile(fileName, ws.Image, ws.Bank.TestPattern());
  NormalizeBank(ws.Bank);
  RecognizeTestPattern(ws.Bank, ws.Tally(), ws.Scores);
  const int n = ws.Scores.BestNo;
  const double s = ws.Scores.BestScore;
  resultTxt.Write(std::to_string(n) + " " + FormatScore(s));
  resultOut.Write(ResultOutItem(ws.Chars, n, s));
  resultTxt.Write(" ");
  ws.View().ImageRecognized(
      RecognizedImage{fileName, row, column, &ws.Image.ScaledBitmap, ws.Scores.TopThree});
}

void EndResultRow(TextFile& resultTxt, TextFile& resultOut) {
  resultTxt.Write(std::string(" ") + kLineEnd);
  resultOut.EndLine();
}

bool ButtonRecognizeClick(Workspace& ws) {
  return ws.CheckBoxDynamic ? ButtonRecognizeDynamic(ws) : ButtonRecognizeFixed(ws);
}

bool ButtonRecognizeFixed(Workspace& ws) {
  std::string folder;
  if (!PrepareRun(ws, folder)) return false;
  ResultFiles files(folder);
  for (int r = 1; BitmapExists(BitmapName(folder, r, 0)); ++r) {
    for (int c = 0; BitmapExists(BitmapName(folder, r, c)); ++c)
      RecognizeImageFile(ws, BitmapName(folder, r, c), r, c, files.txt, files.out);
    EndResultRow(files.txt, files.out);
  }
  files.Close();
  return true;
}

bool ButtonRecognizeDynamic(Workspace& ws) {
  std::string folder;
  if (!PrepareRun(ws, folder)) return false;
  ResultFiles files(folder);
  for (int r = 0; r <= 10; ++r) {
    for (int c = 0; c <= 10; ++c)
      if (BitmapExists(BitmapName(folder, r, c)))
        RecognizeImageFile(ws, BitmapName(folder, r, c), r, c, files.txt, files.out);
    EndResultRow(files.txt, files.out);
  }
  files.Close();
  return true;
}

}  // namespace morvik
