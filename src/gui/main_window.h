// TFormMorvik: the main window, a view over the Workspace. Every control writes into the
// workspace as it changes, every button calls the workspace's operation, and the workspace
// tells the window (as its WorkspaceView) what to repaint or refresh.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "form/workspace.h"
#include "gui/dialogs.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace morvik::gui {

class PatternEditorView;
class PatternGridView;
class SpinEdit;
class ThumbnailView;
class ReadWindow;

constexpr int kWindowWidth = 1186;
constexpr int kWindowHeight = 767;
constexpr int kBottomPanelHeight = 92;
constexpr int kControlPanelWidth = 401;

class MainWindow : public QWidget, public WorkspaceView {
  Q_OBJECT

 public:
  // Builds the controls, then runs the creation of the engine side (settings, last set,
  // character map) and shows its problem, if any, in an error dialog.
  explicit MainWindow(Workspace& ws, DialogHooks dialogs = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  Workspace& workspace() { return ws_; }
  ThumbnailView* thumbnails() { return thumbnails_; }
  // The reading window over this window's workspace (Ctrl+R, or a picture dropped here),
  // made when first asked for and shown.
  ReadWindow* OpenReader();

  // WorkspaceView
  void EditPatternChanged() override;
  void GridChanged() override;
  void PreviewChanged() override;
  void ResultsChanged() override;
  void ControlsChanged() override;
  void ThumbnailsCleared() override;
  void ImageRecognized(const RecognizedImage& image) override;
  void Message(const std::string& text) override;

 protected:
  // FormClose: writes the settings; when they cannot be written the window stays open.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* BuildPatternsPanel();
  QWidget* BuildBottomFrame();
  void BuildBottomPanel(QWidget* panel);
  void BuildResultLabels(QWidget* panel);
  void BuildSetControls(QWidget* panel);
  void BuildRunControls(QWidget* panel);
  void BuildControlPanel(QWidget* panel);
  void BuildEditorControls(QWidget* panel);
  void BuildImageControls(QWidget* panel);
  void BuildThumbnailBox(QWidget* panel);
  void ConnectControls();
  void RefreshControls();

  // Runs a handler; an engine error abandons it with an error dialog and the window goes on.
  void Guarded(const std::function<void()>& handler);
  // The same for a run, which blocks the window and repaints only its thumbnails.
  void GuardedRun(const std::function<void()>& run);
  // A change typed into a control, passed to the workspace without being fed back.
  void Feed(const std::function<void()>& change);

  void ButtonOpenClick();
  void ButtonSaveClick();
  void ButtonBMPClick();

  Workspace& ws_;
  DialogHooks dialogs_;
  int feeding_ = 0;
  bool sized_ = false;

  PatternGridView* grid_ = nullptr;
  PatternEditorView* editor_ = nullptr;
  ThumbnailView* thumbnails_ = nullptr;
  QScrollArea* scrollBox1_ = nullptr;
  QScrollArea* scrollBox2_ = nullptr;
  QLabel* labelRes_[3] = {};
  QLineEdit* editOpenFile_ = nullptr;
  SpinEdit* editTally_ = nullptr;
  QCheckBox* checkBoxDynamic_ = nullptr;
  QLineEdit* editPatternsBatch_ = nullptr;
  QLineEdit* editAutoPat_ = nullptr;
  SpinEdit* spinEditFill_ = nullptr;
  SpinEdit* editNoPat_ = nullptr;
  QCheckBox* checkBoxButtons_ = nullptr;
  QLineEdit* labelImageName_ = nullptr;
  QLabel* imageBMP_ = nullptr;
  QButtonGroup* radioGroupCol_ = nullptr;
  QCheckBox* checkBoxAuto_ = nullptr;
  QCheckBox* checkBoxRatio_ = nullptr;
  SpinEdit* spinEditRatio_ = nullptr;
  QCheckBox* checkBoxCrop_ = nullptr;
  SpinEdit* spinEditTresh_ = nullptr;
  SpinEdit* spinEditInc_ = nullptr;
  QPointer<ReadWindow> reader_;
};

}  // namespace morvik::gui
