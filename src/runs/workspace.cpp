#include "runs/workspace.h"

#include <cerrno>
#include <cstdlib>

#include "core/file_names.h"
#include "core/normalize.h"
#include "core/set_files.h"
#include "image/bitmap_to_pattern.h"

namespace morvik {

bool ParseControlInteger(const std::string& text, long& value) {
  if (text.empty()) return false;
  std::size_t k = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  int base = 10;
  if (text.size() > k + 2 && text[k] == '0' && (text[k + 1] == 'x' || text[k + 1] == 'X')) {
    base = 16;
    k += 2;
  }
  if (k >= text.size()) return false;
  for (std::size_t i = k; i < text.size(); ++i) {
    const char c = text[i];
    const bool digit = (c >= '0' && c <= '9') ||
                       (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  errno = 0;
  long v = std::strtol(text.c_str() + k, nullptr, base);
  const long limit = text[0] == '-' ? 2147483648L : 2147483647L;  // the 32-bit range
  if (errno != 0 || v > limit) return false;
  value = text[0] == '-' ? -v : v;
  return true;
}

Workspace::Workspace(std::string home, std::string currentFolder)
    : RunFolder(home), home_(std::move(home)), current_(std::move(currentFolder)) {
  Image.Settings.OnThresholdChanged = [this] {
    View().ControlsChanged();
    if (!Image.LoadingGuard) RefreshEditPattern();
  };
  Image.Settings.OnIncrementChanged = Image.Settings.OnThresholdChanged;
  Image.OnPreviewChanged = [this] { View().PreviewChanged(); };
}

std::string Workspace::Resolve(const std::string& name) const {
  return JoinPath(current_, name);
}

std::string Workspace::MakeRelativeToExe(const std::string& path) const {
  return MakeRelativeTo(path, home_);
}

// Set names are kept relative to the home folder, so that is where they are looked up,
// wherever the process was started.
std::string Workspace::SetFile(const std::string& base, const char* extension) const {
  return JoinPath(home_, base + extension);
}

void Workspace::SetEditOpenFile(const std::string& text) {
  editOpenFile_ = text;
  EditOpenFileChange();
  View().ControlsChanged();
}

void Workspace::EditOpenFileChange() {
  if (FileExists(SetFile(editOpenFile_, ".PCP"))) CurrentSetName = editOpenFile_;
}

void Workspace::SetEditTally(const std::string& text) {
  editTally_ = text;
  EditTallyChange();
  View().ControlsChanged();
}

void Workspace::EditTallyChange() {
  long value = 0;
  if (!ParseControlInteger(editTally_, value)) value = 0;
  tally_ = static_cast<double>(static_cast<long double>(value) / 100.0L);
}

void Workspace::OpenPatternSet(const std::string& base) {
  Scores.FrameColour.fill(kGrey);
  CurrentSetName = base;
  if (LoadReferenceFile(SetFile(base, ".PCP"), Bank) && LoadTestFile(SetFile(base, ".PCT"), Bank))
    SetEditOpenFile(base);
}

void Workspace::LoadPatternSet(const std::string& base) {
  Scores.FrameColour.fill(kGrey);
  LoadReferenceFile(SetFile(base, ".PCP"), Bank);
}

void Workspace::SavePatternSet(const std::string& base) {
  ComputeBankSpans(Bank);
  CurrentSetName = base;
  if (!SaveReferenceFile(SetFile(base, ".PCP"), Bank)) View().Message("Error writing patterns");
  if (!SaveTestFile(SetFile(base, ".PCT"), Bank)) View().Message("Error writing test pic");
}

void Workspace::ButtonOpenClick(const std::string& chosenFile) {
  const std::string base = MakeRelativeToExe(StripExtension(chosenFile));
  SetEditOpenFile(base);
  OpenPatternSet(base);
  Scores.ScoresShown = false;
  View().GridChanged();
  ComputeBankSpans(Bank);
  ResetResultDisplay(Scores);
  View().ResultsChanged();
}

void Workspace::ButtonSaveClick(const std::string& chosenFile) {
  const std::string base = MakeRelativeToExe(StripExtension(chosenFile));
  SetEditOpenFile(base);
  SavePatternSet(base);
}

void Workspace::ButtonNewClick() {
  ResetBank(Bank);
  ResetScores(Scores);
  Scores.FrameColour.fill(kGrey);
  Scores.ScoresShown = false;
  View().GridChanged();
  View().ResultsChanged();
}

void Workspace::ButtonProcessClick() {
  ComputeCommand(Bank, tally_, Scores);
  View().ResultsChanged();
  View().GridChanged();
}

void Workspace::ButtonComputeNClick() {
  ComputeNormalizeCommand(Bank, tally_, Scores);
  View().ResultsChanged();
  View().GridChanged();
}

void Workspace::ButtonBMPClick(const std::string& fileName) {
  Image.PictureFileName = fileName;
  LoadBitmapFile(fileName, Image);
  RefreshEditPattern();
}

void Workspace::RadioGroupColClick(int item) {
  Image.Settings.RadioGroupCol = item;
  ReloadPictureForColour(Image);
  View().PreviewChanged();
  RefreshEditPattern();
}

void Workspace::RefreshEditPattern() {
  FillPatternFromBitmap(Image, Bank.EditPattern());
  View().EditPatternChanged();
}

bool Workspace::ButtonLoadPClick() {
  if (EditNoPat < 1 || EditNoPat > kReferenceCount) {
    View().Message("Out of Pattern range!");
    return false;
  }
  CopyPattern(Bank.Slot(EditNoPat), Bank.EditPattern());
  View().EditPatternChanged();
  return true;
}

bool Workspace::ButtonStorePClick() {
  if (EditNoPat < 1 || EditNoPat > kReferenceCount) {
    View().Message("Out of Pattern range!");
    return false;
  }
  CopyPattern(Bank.EditPattern(), Bank.Slot(EditNoPat));
  View().GridChanged();
  return true;
}

void Workspace::ButtonTestPicLoadClick() {
  CopyPattern(Bank.TestPattern(), Bank.EditPattern());
  View().EditPatternChanged();
}

void Workspace::ButtonTestPicStoreClick() {
  CopyPattern(Bank.EditPattern(), Bank.TestPattern());
  View().GridChanged();
}

void Workspace::ButtonEraseClick() {
  ClearCells(1, kGridSize, 1, kGridSize, Bank.EditPattern());
  View().EditPatternChanged();
}

void Workspace::SelectGridPattern(int n) {
  if (n >= 1 && n <= kReferenceCount) {
    CopyPattern(Bank.Slot(n), Bank.EditPattern());
    EditNoPat = n;
    View().ControlsChanged();
  } else if (n == kTestSlot) {
    CopyPattern(Bank.TestPattern(), Bank.EditPattern());
  } else {
    return;
  }
  View().EditPatternChanged();
}

}  // namespace morvik
