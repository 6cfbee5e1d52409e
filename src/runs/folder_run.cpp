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

namespace {

// The picture of a run: read, and taken down the image path; one that cannot be read is
// listed in `failed` (its message names the file) and counts as blank.
LoadedPicture LoadRunPicture(const std::string& fileName, const ImageOptions& options,
                             std::vector<std::string>& failed) {
  try {
    const Bitmap bitmap = ReadPictureFile(fileName);
    return WithFileName(fileName, [&] { return LoadPictureOrBlank(bitmap, options); });
  } catch (const Error& e) {
    failed.push_back(e.what());
  }
  return BlankPicture(options);
}

}  // namespace

Recognition RecognizeImageFile(Session& session, const std::string& fileName, int row, int column,
                               TextFile& resultTxt, TextFile& resultOut, RunObserver& observer,
                               std::vector<std::string>& failed) {
  const LoadedPicture picture = LoadRunPicture(fileName, session.Image, failed);
  // A blank picture has an empty pattern, which matches no reference: number 0, score 0.
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

std::array<LibraryMatch, 3> RecognizeImageFile(SetRun& run, const std::string& fileName, int row,
                                               int column, TextFile& resultTxt, TextFile& resultOut,
                                               RunObserver& observer,
                                               std::vector<std::string>& failed) {
  const SetRunMatch match = MatchPictureFile(run, fileName, failed);
  const std::size_t sets = run.Library.Sets.size();
  std::array<TRankEntry, 3> numbers{};
  for (std::size_t k = 0; k < numbers.size(); ++k)
    numbers[k] =
        TRankEntry{static_cast<std::uint16_t>(RunNumber(match.Best[k], sets)), match.Best[k].Score};
  const LibraryMatch& best = match.Best[0];
  resultTxt.Write(std::to_string(numbers[0].No) + " " + FormatScore(best.Score));
  resultOut.Write(ResultOutItem(MatchChars(run, best), best.No, best.Score));
  resultTxt.Write(" ");
  RecognizedImage image{fileName,
                        row,
                        column,
                        &match.Shown.Raster,
                        numbers,
                        match.Shown.Threshold,
                        match.Shown.Increment};
  image.Matches = &match.Best;
  observer.ImageRecognized(image);
  return match.Best;
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
    for (const NumberedBitmap& b : row) {
      if (options.Sets)
        RecognizeImageFile(*options.Sets, b.Path, b.Row, b.Column, txt, out, observer,
                           result.Failed);
      else
        RecognizeImageFile(session, b.Path, b.Row, b.Column, txt, out, observer, result.Failed);
    }
    result.Images += static_cast<int>(row.size());
    EndResultRow(txt, out);
  }
  ClosePair(txt, out, folder);
  return result;
}

}  // namespace morvik
