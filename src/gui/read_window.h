// The reading window, a view over a PictureForm: a picture opened (menu, button, drop, or
// the command line) is read off the window's thread with a progress bar and a Cancel button,
// and shown with the boxes of its cut above the text it was read as. Clicking a box or a
// character shows its cut, its pattern (also put into the main window's pattern editor) and
// its three best candidates; typing the right characters teaches them into the user set and
// reads the picture again; the last teaching can be undone.
#pragma once

#include <QMainWindow>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMimeData;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace morvik {
class PictureForm;  // not included: its reading.h would meet form_settings.h's ReadSettings()
class Workspace;
struct CharPlace;
struct ReadOutcome;
}  // namespace morvik

namespace morvik::gui {

class PictureView;
class PatternView;

// The reading window's dialogs, replaceable so that tests never block on a modal box; a hook
// left empty shows the standard dialog.
struct ReadDialogs {
  std::function<std::string(const std::string& folder)> OpenPicture;
  // The sets or library files to read with; none when cancelled.
  std::function<std::vector<std::string>(const std::string& folder)> ChooseLibraries;
  // The user set (NAME.sets) to teach into, existing or new; "" when cancelled.
  std::function<std::string(const std::string& folder)> ChooseUserSet;
  std::function<void(const std::string& text)> Error;
};

// The first local file a drag carries; "" for none.
std::string DraggedFile(const QMimeData* data);

class ReadWindow : public QMainWindow {
  Q_OBJECT

 public:
  // ws, when given, receives the selected character's pattern in its editor; it must outlive
  // the window.
  explicit ReadWindow(Workspace* ws, ReadDialogs dialogs = {}, QWidget* parent = nullptr);
  ~ReadWindow() override;

  PictureForm& form() { return *form_; }

  // Opens the picture and starts reading it; a problem goes to the Error dialog.
  void OpenPicture(const std::string& path);
  // Reads the picture again (a running reading is cancelled and started over).
  void ReadAgain();
  bool IsReading() const { return worker_ != nullptr; }
  void CancelReading();
  void SelectChar(const CharPlace& place, bool extend);
  // Teaches the selected boxes as text and reads again.
  void Teach(const QString& text);
  void UndoTeaching();
  void SetUserLibrary(const std::string& path);
  void SetLibraries(const std::vector<std::string>& names);  // none: the stock library

 signals:
  void ReadingFinished();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildSidePanel();
  void StartReading();
  void FinishReading(ReadOutcome& outcome);
  void ShowReading();
  void ShowSelection();
  void ShowLibraries();
  void TextClicked();
  void ChooseLibraries();
  void ChooseUserSet();
  void Guarded(const std::function<void()>& action);

  Workspace* ws_;
  ReadDialogs dialogs_;
  std::unique_ptr<PictureForm> form_;

  QThread* worker_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool again_ = false;  // read again once the running reading ends

  PictureView* picture_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QLabel* cut_ = nullptr;
  PatternView* pattern_ = nullptr;
  QTableWidget* candidates_ = nullptr;
  QLineEdit* correction_ = nullptr;
  QPushButton* teach_ = nullptr;
  QPushButton* undo_ = nullptr;
  QLabel* libraries_ = nullptr;
  QLabel* userSet_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace morvik::gui
