#include "form/workspace.h"

#include "core/file_names.h"
#include "core/normalize.h"
#include "core/set_files.h"
#include "session/recognition.h"
#include "session/set_io.h"

namespace morvik {

Workspace::Workspace(std::string home, std::string currentFolder)
    : RunFolder(home), home_(std::move(home)), current_(std::move(currentFolder)) {
  Image.Settings.OnThresholdChanged = [this] { SpinEditTreshChange(); };
  Image.Settings.OnIncrementChanged = [this] { SpinEditIncChange(); };
  Image.OnPreviewChanged = [this] { View().PreviewChanged(); };
}

Session& Workspace::Prepared() {
  Domain.Image = OptionsOf(Image.Settings);
  return Domain;
}

void Workspace::SetSpinEditTresh(int value) {
  Image.Settings.SetSpinEditTresh(value);  // a change runs SpinEditTreshChange
}

void Workspace::SetSpinEditInc(int value) {
  Image.Settings.SetSpinEditInc(value);  // a change runs SpinEditIncChange
}

void Workspace::SpinEditTreshChange() {
  View().ControlsChanged();
  RefreshEditPattern();
}

void Workspace::SpinEditIncChange() {
  View().ControlsChanged();
  RefreshEditPattern();
}

void Workspace::ShowAnalysis(int threshold, int increment) {
  Image.Settings.Assign(threshold, increment);
  View().ControlsChanged();
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
  Domain.Tally = TallyOf(editTally_);
}

void Workspace::OpenPatternSet(const std::string& base) {
  Display.FrameColour.fill(kGrey);
  CurrentSetName = base;
  if (OpenSet(Domain, SetFile(base, "")).empty()) SetEditOpenFile(base);
}

void Workspace::SavePatternSet(const std::string& base) {
  CurrentSetName = base;
  const std::string path = SetFile(base, "");
  for (const std::string& failed : SaveSet(Domain, path))
    View().Message(failed == ReferenceFileOf(path) ? "Error writing patterns"
                                                   : "Error writing test pic");
}

void Workspace::ButtonOpenClick(const std::string& chosenFile) {
  const std::string base = MakeRelativeToExe(StripExtension(chosenFile));
  SetEditOpenFile(base);
  OpenPatternSet(base);
  Display.ScoresShown = false;
  View().GridChanged();
  ComputeBankSpans(Bank);
  ResetResultDisplay(Display);
  View().ResultsChanged();
}

void Workspace::ButtonSaveClick(const std::string& chosenFile) {
  const std::string base = MakeRelativeToExe(StripExtension(chosenFile));
  SetEditOpenFile(base);
  SavePatternSet(base);
}

void Workspace::ButtonNewClick() {
  ResetBank(Bank);
  ResetScores(Scores, Display);
  Display.FrameColour.fill(kGrey);
  Display.ScoresShown = false;
  View().GridChanged();
  View().ResultsChanged();
}

void Workspace::ButtonProcessClick() {
  ComputeCommand(Bank, Tally(), Scores, Display);
  View().ResultsChanged();
  View().GridChanged();
}

void Workspace::ButtonComputeNClick() {
  ComputeNormalizeCommand(Bank, Tally(), Scores, Display);
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
