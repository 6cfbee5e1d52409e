#include "runs/run_pictures.h"

#include "core/error.h"
#include "core/number_format.h"
#include "image/picture_reader.h"
#include "runs/folder_run.h"
#include "session/recognition.h"

namespace morvik {

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

void Keep(LoadedPicture&& shown, RunPicture& p) {
  p.Raster = std::move(shown.Raster);
  p.Threshold = shown.Threshold;
  p.Increment = shown.Increment;
}

RunPicture FromSets(SetRunMatch&& match, std::vector<std::string>&& failed) {
  RunPicture p;
  Keep(std::move(match.Shown), p);
  p.Matches = match.Best;
  p.Failed = std::move(failed);
  return p;
}

}  // namespace

RunPictures::RunPictures(Session& session, SetRun* sets, std::vector<std::string> paths,
                         unsigned jobs)
    : session_(session), sets_(sets), paths_(std::move(paths)) {
  // A picture of a run takes a tenth of a millisecond or so: threads take several at once,
  // and a run of no more than one turn runs on the calling thread, which is as fast without
  // a thread to start and references to prepare (about 2 ms).
  constexpr std::size_t kPicturesPerTurn = 16;
  shared_ = jobs > 1 && paths_.size() > kPicturesPerTurn;
  if (shared_ && sets_) earlierMatched_ = sets_->Matched;
  if (shared_ && !sets_) {
    sessionSet_.Bank = session_.Bank;
    sessionSet_.Prepared = PrepareReferences(sessionSet_.Bank, true);
    shared_ = sessionSet_.Prepared.Earlier.size() + 1 < kMaxPasses;
  }
  if (!shared_) jobs = 1;
  jobs_ = std::make_unique<OrderedJobs<RunPicture>>(
      paths_.size(), jobs,
      [this](std::size_t i) { return shared_ ? RecognizeShared(i) : Recognize(i); },
      kPicturesPerTurn);
}

RunPicture RunPictures::Next() {
  RunPicture p = jobs_->Next();
  if (shared_ && sets_) ++sets_->Matched;  // as the sequential run counts
  return p;
}

RunPicture RunPictures::Recognize(std::size_t i) {
  std::vector<std::string> failed;
  if (sets_) return FromSets(MatchPictureFile(*sets_, paths_[i], failed), std::move(failed));
  RunPicture p;
  LoadedPicture shown = LoadRunPicture(paths_[i], session_.Image, p.Failed);
  // A blank picture has an empty pattern, which matches no reference: number 0, score 0.
  p.Best = morvik::Recognize(session_, shown.Pattern).Best;
  Keep(std::move(shown), p);
  return p;
}

RunPicture RunPictures::RecognizeShared(std::size_t i) const {
  std::vector<std::string> failed;
  if (sets_) {
    const SetRun& run = *sets_;
    return FromSets(MatchPictureFile(run, paths_[i], earlierMatched_ + i, failed),
                    std::move(failed));
  }
  RunPicture p;
  LoadedPicture shown = LoadRunPicture(paths_[i], session_.Image, p.Failed);
  ScoreState scores;
  scores.ScoreTable =
      ScoreSet(sessionSet_, PrepareTest(shown.Pattern), session_.Tally, CharFilter{}, i);
  PickTopThree(scores, p.Best);
  Keep(std::move(shown), p);
  return p;
}

std::optional<char> WriteRunPicture(const Session& session, const SetRun* sets,
                                    const std::string& path, const RunPicture& picture, int row,
                                    int column, TextFile& resultTxt, TextFile& resultOut,
                                    RunObserver& observer, std::vector<std::string>& failed) {
  failed.insert(failed.end(), picture.Failed.begin(), picture.Failed.end());
  const CharMapState* chars = &session.Chars;
  std::array<TRankEntry, 3> numbers = picture.Best;
  if (sets) {
    for (std::size_t k = 0; k < numbers.size(); ++k)
      numbers[k] = TRankEntry{
          static_cast<std::uint16_t>(RunNumber(picture.Matches[k], sets->Library.Sets.size())),
          picture.Matches[k].Score};
    chars = &MatchChars(*sets, picture.Matches[0]);
  }
  // Without sets the number written is the reference's own; with them, its run number.
  const int no = sets ? picture.Matches[0].No : numbers[0].No;
  const double score = numbers[0].Score;
  resultTxt.Write(std::to_string(numbers[0].No) + " " + FormatScore(score));
  resultOut.Write(ResultOutItem(*chars, no, score));
  resultTxt.Write(" ");
  RecognizedImage image{
      path, row, column, &picture.Raster, numbers, picture.Threshold, picture.Increment};
  if (sets) image.Matches = &picture.Matches;
  observer.ImageRecognized(image);
  if (!chars->CharMapLoaded || chars->CharCompareMode) return std::nullopt;
  return chars->CharMap[static_cast<std::size_t>(no)];
}

}  // namespace morvik
