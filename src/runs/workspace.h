// The engine's whole state for one program instance: the pattern bank, the scores, the image
// path, the character map and the settings the window's controls hold, with the operations
// behind every button. The window implements WorkspaceView; the command line uses none.
#pragma once

#include <array>
#include <string>

#include "core/pattern_bank.h"
#include "core/scoring.h"
#include "image/image_state.h"
#include "runs/char_map.h"

namespace morvik {

// One recognised image of a run, for the thumbnail.
struct RecognizedImage {
  std::string FileName;
  int Row = 0;                     // thumbnail row
  int Column = 0;                  // column of the file name
  const Bitmap* Scaled = nullptr;  // the raster sampled into the TestPattern
  std::array<TRankEntry, 3> TopThree{};
};

// What the engine tells the window. Every method does nothing by default.
class WorkspaceView {
 public:
  virtual ~WorkspaceView() = default;
  virtual void EditPatternChanged() {}  // repaint the editor
  virtual void GridChanged() {}         // repaint the grid view
  virtual void PreviewChanged() {}      // the preview picture or its name changed
  virtual void ResultsChanged() {}      // result labels, frame colours
  virtual void ControlsChanged() {}     // a text or value of a control was set by the engine
  virtual void ThumbnailsCleared() {}   // a run emptied the thumbnail image
  virtual void ImageRecognized(const RecognizedImage&) {}  // draw its thumbnail now
  virtual void Message(const std::string&) {}              // a message box
  virtual void Progress(const std::string& /*what*/, int /*done*/, int /*total*/) {}
};

class Workspace {
 public:
  // home: the program's home folder (the executable's folder, or MORVIK_HOME);
  // currentFolder: the process's current folder at start, against which relative names
  // are taken until a run makes the home folder current.
  Workspace(std::string home, std::string currentFolder);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  void SetView(WorkspaceView* view) { view_ = view ? view : &nullView_; }
  WorkspaceView& View() { return *view_; }

  TPatternBank Bank;
  ScoreState Scores;
  ImageState Image;
  CharMapState Chars;
  std::string CurrentSetName;

  const std::string& HomeFolder() const { return home_; }
  // The folder a run makes current, against which its relative folder names are taken: the
  // home folder, unless the caller (the command line) names another.
  std::string RunFolder;
  const std::string& CurrentFolder() const { return current_; }
  void SetCurrentFolder(const std::string& folder) { current_ = folder; }
  // A name as the process would open it: relative names against the current folder.
  std::string Resolve(const std::string& name) const;
  // A path relative to the home folder (unchanged when relative already).
  std::string MakeRelativeToExe(const std::string& path) const;

  // --- Controls whose change runs a handler ---
  const std::string& EditOpenFile() const { return editOpenFile_; }
  void SetEditOpenFile(const std::string& text);  // runs EditOpenFileChange
  const std::string& EditTally() const { return editTally_; }
  void SetEditTally(const std::string& text);  // runs EditTallyChange
  double Tally() const { return tally_; }      // threshold as a fraction

  // --- Plain controls, with their defaults ---
  std::string EditPatternsBatch = "patterns";  // folder of "Recognize" / "Batch Recognize"
  std::string EditAutoPat = "learn";           // folder of "Learn Patterns"
  bool CheckBoxDynamic = false;                // "Dynamic file name"
  int EditNoPat = 1;                           // slot of "Load/Store Pattern#"
  int SpinEditFill = 3;                        // "Fill Int:"
  bool CheckBoxButtons = false;                // "Hold button to fill/erase"
  int ThumbnailRow = 1;                        // next thumbnail row of a batch

  // --- Pattern sets ---
  // The file of a set: base + extension, a relative base taken against the home folder
  // (base names are kept relative to it).
  std::string SetFile(const std::string& base, const char* extension) const;
  void OpenPatternSet(const std::string& base);  // no result, no message
  void LoadPatternSet(const std::string& base);  // the ".PCP" only
  void SavePatternSet(const std::string& base);  // messages for failed files
  void ButtonOpenClick(const std::string& chosenFile);
  void ButtonSaveClick(const std::string& chosenFile);
  void ButtonNewClick();

  // --- Scoring ---
  void ButtonProcessClick();   // "Compute"
  void ButtonComputeNClick();  // "Compute+Normalize"

  // --- Pictures ---
  void ButtonBMPClick(const std::string& fileName);  // "Load BMP" (throws Error)
  void RadioGroupColClick(int item);                 // "Color" (throws Error)
  void RefreshEditPattern();

  // --- Editor ---
  // "Load Pattern#" / "Store Pattern#": false (and the message "Out of Pattern range!")
  // when EditNoPat lies outside 1..40.
  bool ButtonLoadPClick();
  bool ButtonStorePClick();
  void ButtonTestPicLoadClick();
  void ButtonTestPicStoreClick();
  void ButtonEraseClick();
  // A press on the grid view: cells 1..40 and the test cell (41) go into the editor.
  void SelectGridPattern(int n);

 private:
  void EditOpenFileChange();
  void EditTallyChange();

  std::string home_;
  std::string current_;
  std::string editOpenFile_;
  std::string editTally_ = "75";
  double tally_ = 0.75;
  WorkspaceView nullView_;
  WorkspaceView* view_ = &nullView_;
};

// "Whole number" reading of a control's text: optional sign and digits, or 0x/0X hex;
// false for anything else.
bool ParseControlInteger(const std::string& text, long& value);

}  // namespace morvik
