#include "runs/folder_run.h"


#include "core/file_names.h"
#include "core/number_format.h"
#include "image/picture_loading.h"

namespace morvik {

std::string ResultOutItem(const CharMapState& chars, int n, double s) {
  if (!chars.CharMapLoaded) return std::string(1, static_cast<char>('0' + n % 10));
  const char mapped = chars.CharMap[static_cast<std::size_t>(n)];
  if (!chars.CharCompareMode) return std::string(1, mapped);
  return mapped == chars.ExpectedChar ? FormatScore(s) : "N";
}

Recognition RecognizeImageFile(Session& session, const std::string& fileName, int row, int column,
                               TextFile& resultTxt, TextFile& resultOut, RunObserver& observer) {
  const LoadedPicture picture = LoadPictureFile(fileName, session.Image);
  const Recognition result = Recognize(session, picture.Pattern);
  const int n = result.Best[0].No;
  const double s = result.Best[0].Score;
  resultTxt.Write(std::to_string(n) + " " + FormatScore(s));
  resultOut.Write(ResultOutItem(session.Chars, n, s));
  resultTxt.Write(" ");
  observer.ImageRecognized(RecognizedImage{fileName, row, column, &picture.Raster, result.Best,
                                           picture.Threshold, picture.Increment});
  return result;
}

void EndResultRow(TextFile& resultTxt, TextFile& resultOut) {
  resultTxt.Write(std::string(" ") + kLineEnd);
  resultOut.EndLine();
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
  for (const BitmapRow& row : ListNumberedBitmaps(folder, options.Dynamic)) {
    for (const NumberedBitmap& b : row)
      RecognizeImageFile(session, b.Path, b.Row, b.Column, txt, out, observer);
    result.Images += static_cast<int>(row.size());
    EndResultRow(txt, out);
  }
  txt.Close();
  out.Close();
  return result;
}

}  // namespace morvik
