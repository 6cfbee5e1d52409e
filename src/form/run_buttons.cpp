#include "form/run_buttons.h"

#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"

namespace morvik {

namespace {

// Passes a run's events to the window and keeps the last picture's raster and analysis,
// which the image controls show and the editor re-samples from.
class FormRunObserver : public RunObserver {
 public:
  explicit FormRunObserver(Workspace& ws) : ws_(ws) {}
  void RunStarted() override { ws_.View().ThumbnailsCleared(); }
  void ImageRecognized(const RecognizedImage& image) override {
    ResetResultDisplay(ws_.Display);  // a run's results show only as thumbnails
    ws_.Image.ScaledBitmap = *image.Scaled;
    ws_.ShowAnalysis(image.Threshold, image.Increment);
    ws_.View().ImageRecognized(image);
  }
  void Progress(const std::string& what, int done, int total) override {
    ws_.View().Progress(what, done, total);
  }

 private:
  Workspace& ws_;
};

// The folder a control names, relative to the run folder, which becomes current; an empty
// name names no folder (not the run folder).
std::string RunFolderOf(Workspace& ws, const std::string& name) {
  ws.SetCurrentFolder(ws.RunFolder);
  return name.empty() ? std::string() : ws.Resolve(name);
}

// One message at the end of a run for every picture it could not read.
void ReportFailedPictures(Workspace& ws, const std::vector<std::string>& failed) {
  if (!failed.empty()) ws.View().Message(FailedPicturesMessage(failed));
}

bool RecognizeWith(Workspace& ws, bool dynamic) {
  FormRunObserver observer(ws);
  const FolderRunOptions options{RunFolderOf(ws, ws.EditPatternsBatch), dynamic};
  const FolderRunResult result = RecognizeFolder(ws.Prepared(), options, observer);
  ReportFailedPictures(ws, result.Failed);
  return result.FolderFound;
}

}  // namespace

std::string FailedPicturesMessage(const std::vector<std::string>& failed) {
  std::string text =
      failed.size() == 1
          ? std::string("1 picture could not be read; it counts as blank:")
          : std::to_string(failed.size()) + " pictures could not be read; they count as blank:";
  for (const std::string& problem : failed) text += "\n" + problem;
  return text;
}

bool ButtonRecognizeClick(Workspace& ws) {
  return RecognizeWith(ws, ws.CheckBoxDynamic);
}

bool ButtonRecBatchClick(Workspace& ws) {
  FormRunObserver observer(ws);
  const BatchRunOptions options{RunFolderOf(ws, ws.EditPatternsBatch), ws.EditPatternsBatch};
  const BatchRunResult result = RecognizeBatch(ws.Prepared(), options, observer);
  ws.ThumbnailRow = result.NextThumbnailRow;
  ReportFailedPictures(ws, result.Failed);
  return result.RootFound;
}

int ButtonAutoPatClick(Workspace& ws) {
  FormRunObserver observer(ws);
  const std::string folder = RunFolderOf(ws, ws.EditAutoPat);
  const auto learned = LearnReferences(ws.Prepared(), folder, observer);
  ws.View().GridChanged();
  return static_cast<int>(learned.size());
}

}  // namespace morvik
