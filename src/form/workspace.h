// The main window's form without its widgets: the values its controls hold and the handlers
// behind every button and control, each a short mapping onto the session's operations. The
// window implements WorkspaceView.
#pragma once

#include <array>
#include <string>

#include "form/image_state.h"
#include "form/result_display.h"
#include "runs/run_observer.h"
#include "session/session.h"

namespace morvik {

// What the form tells the window, besides the events of a run. Every method does nothing by
// default.
class WorkspaceView : public RunObserver {
 public:
  virtual void EditPatternChanged() {}         // repaint the editor
  virtual void GridChanged() {}                // repaint the grid view
  virtual void PreviewChanged() {}             // the preview picture or its name changed
  virtual void ResultsChanged() {}             // result labels, frame colours
  virtual void ControlsChanged() {}            // a text or value of a control was set by the engine
  virtual void ThumbnailsCleared() {}          // a run emptied the thumbnail image
  virtual void Message(const std::string&) {}  // a message box
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

  // The session the handlers work on; its image settings follow Image.Settings whenever a
  // handler passes it on (see Prepared).
  Session Domain;
  TPatternBank& Bank = Domain.Bank;
  ScoreState& Scores = Domain.Scores;
  CharMapState& Chars = Domain.Chars;
  ResultDisplay Display;  // frame colours, result labels, scores shown in the grid
  ImageState Image;       // the image controls, the last picture, its raster and the preview
  std::string CurrentSetName;

  // The session with the image settings of the controls.
  Session& Prepared();

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
  void SetEditTally(const std::string& text);    // runs EditTallyChange
  double Tally() const { return Domain.Tally; }  // threshold as a fraction

  // "Treshold (%)" and "Increment (%)" typed or stepped: stored clamped into 0..100, and a
  // change re-samples the editor pattern from the last raster.
  void SetSpinEditTresh(int value);
  void SetSpinEditInc(int value);
  // Threshold and increment chosen by an analysis, shown without re-sampling.
  void ShowAnalysis(int threshold, int increment);

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
  void SpinEditTreshChange();
  void SpinEditIncChange();

  std::string home_;
  std::string current_;
  std::string editOpenFile_;
  std::string editTally_ = "75";
  WorkspaceView nullView_;
  WorkspaceView* view_ = &nullView_;
};

}  // namespace morvik
