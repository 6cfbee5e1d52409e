#include "runs/folder_run.h"

#include "core/error.h"
#include "core/file_names.h"
#include "core/number_format.h"
#include "image/picture_loading.h"
#include "image/picture_reader.h"

namespace morvik {

std::string ResultOutItem(const CharMapState& chars, int n, double s) {
  if (!chars.CharMapLoaded) return std::string(1, static_cast<char>('0' + n % 10));
  const char mapped = chars.CharMap[static_cast<std::size_t>(n)];
  if (!chars.CharCompareMode) return std::string(1, mapped);
  return mapped == chars.ExpectedChar ? FormatScore(s) : "N";
}

void EndResultRow(TextFile& resultTxt, TextFile& resultOut) {
  resultTxt.Write(std::string(" ") + kLineEnd);
  resultOut.EndLine();
}

void AppendPicturePaths(const std::vector<BitmapRow>& rows, std::vector<std::string>& paths) {
  for (const BitmapRow& row : rows)
    for (const NumberedBitmap& b : row) paths.push_back(b.Path);
}

FolderRunResult RecognizeFolder(Session& session, const FolderRunOptions& options,
                                RunObserver& observer) {
  FolderRunResult result;
  if (options.Folder.empty() || !DirectoryExists(options.Folder)) return result;
  result.FolderFound = true;
  const std::string folder = ResolveFileName(options.Folder);
  observer.RunStarted();
  // The old result files stay readable until the new ones replace them whole on Close.
  TextFile txt(JoinPath(folder, "result.txt")), out(JoinPath(folder, "result.out"));
  const std::vector<BitmapRow> rows = ListNumberedBitmaps(folder, options.Dynamic);
  std::vector<std::string> paths;
  AppendPicturePaths(rows, paths);
  RunPictures pictures(session, options.Sets, std::move(paths), options.Jobs);
  for (const BitmapRow& row : rows) {
    for (const NumberedBitmap& b : row)
      WriteRunPicture(session, options.Sets, b.Path, pictures.Next(), b.Row, b.Column, txt, out,
                      observer, result.Failed);
    result.Images += static_cast<int>(row.size());
    EndResultRow(txt, out);
  }
  ClosePair(txt, out, folder);
  return result;
}

}  // namespace morvik
