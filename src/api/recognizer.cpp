#include <cstdint>

#include "api/read_adapter.h"
#include "api/session_options.h"
#include "core/error.h"
#include "core/file_names.h"
#include "image/picture_loading.h"
#include "image/picture_reader.h"
#include "library/set_char_map.h"
#include "morvik/morvik.h"
#include "runs/folder_run.h"
#include "runs/learning.h"
#include "session/recognition.h"
#include "session/set_io.h"

namespace morvik {

struct Recognizer::State {
  Session session;
};

namespace {

Result ResultOf(const Session& session, const Recognition& recognition) {
  Result result;
  for (std::size_t k = 0; k < result.Best.size(); ++k) {
    const TRankEntry& rank = recognition.Best[k];
    result.Best[k] = Candidate{rank.No, rank.Score, rank.No ? CharacterOf(session, rank.No) : '\0'};
  }
  return result;
}

void ThrowIfFailed(const std::vector<std::string>& failed, const char* problem) {
  if (!failed.empty()) throw FileError(failed.front(), problem);
}

}  // namespace

Recognizer::Recognizer(const RecognizerOptions& options) : state_(std::make_unique<State>()) {
  ApplyRecognizerOptions(options, state_->session);
}

Recognizer::~Recognizer() = default;
Recognizer::Recognizer(Recognizer&&) noexcept = default;
Recognizer& Recognizer::operator=(Recognizer&&) noexcept = default;

void Recognizer::OpenSet(const std::string& base) {
  ThrowIfFailed(morvik::OpenSet(state_->session, base), "cannot be read");
}

void Recognizer::SaveSet(const std::string& base) {
  ThrowIfFailed(morvik::SaveSet(state_->session, base), "cannot be written");
}

std::vector<int> Recognizer::LearnFolder(const std::string& folder) {
  if (!DirectoryExists(folder)) throw FileError(folder, "folder not found");
  return LearnReferences(state_->session, folder);
}

void Recognizer::LoadCharacterMap(const std::string& path) {
  state_->session.Chars = LoadStrictCharMap(path);
}

Result Recognizer::RecognizeFile(const std::string& path) {
  const LoadedPicture picture = LoadPictureFile(path, state_->session.Image);
  return ResultOf(state_->session, Recognize(state_->session, picture.Pattern));
}

Result Recognizer::RecognizeMemory(const void* data, std::size_t size, const std::string& name) {
  const Bitmap bitmap = DecodePicture(static_cast<const std::uint8_t*>(data), size, name);
  const LoadedPicture picture = LoadPicture(bitmap, state_->session.Image, name);
  return ResultOf(state_->session, Recognize(state_->session, picture.Pattern));
}

int Recognizer::RecognizeFolder(const std::string& folder, bool dynamicNames) {
  RunObserver quiet;
  const FolderRunResult result =
      morvik::RecognizeFolder(state_->session, {folder, dynamicNames}, quiet);
  if (!result.FolderFound) throw FileError(folder, "folder not found");
  // The result files are whole; the first picture that could not be read is reported.
  if (!result.Failed.empty()) {
    const std::size_t more = result.Failed.size() - 1;
    throw Error(result.Failed.front() +
                (more == 0 ? std::string() : " (and " + std::to_string(more) + " more)"));
  }
  return result.Images;
}

void ApplyRecognizerOptions(const RecognizerOptions& options, Session& session) {
  CheckPercent(options.TallyPercent, 0, "the tally");
  CheckPercent(options.Ratio, 1, "the aspect ratio");
  session.Tally = TallyOf(std::to_string(options.TallyPercent));
  ImageOptions& image = session.Image;
  image.BlackCharacters = options.BlackCharacters;
  image.AutoThreshold = options.AutoThreshold;
  image.Crop = options.Crop;
  image.FixedRatio = options.FixedRatio;
  image.Ratio = options.Ratio;
  image.Threshold = options.Threshold;
  image.Increment = options.Increment;
}

const char* Version() {
  return MORVIK_VERSION;
}

}  // namespace morvik
