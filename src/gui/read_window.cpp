#include "gui/read_window.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

#include "form/picture_form.h"
#include "form/workspace.h"
#include "gui/dialogs.h"
#include "gui/drawing.h"
#include "gui/picture_view.h"

namespace morvik::gui {

// The selected character's 16 x 16 pattern, drawn as the pattern editor draws its own.
class PatternView : public QWidget {
 public:
  explicit PatternView(QWidget* parent) : QWidget(parent) {
    setObjectName("ReadPattern");
    setFixedSize(114, 114);
  }
  void Show(const TPattern& pattern) {
    pattern_ = pattern;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    DrawEditorGrid(p);
    DrawEditorCells(p, pattern_);
  }

 private:
  TPattern pattern_;
};

namespace {

QString U(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

QString BaseName(const std::string& path) {
  return QFileInfo(U(path)).fileName();
}

void FillStandardReadDialogs(ReadDialogs& d, QWidget* parent) {
  if (!d.OpenPicture)
    d.OpenPicture = [parent](const std::string& folder) {
      return Utf8(
          QFileDialog::getOpenFileName(parent, "Open a picture", U(folder), kPictureFilter));
    };
  if (!d.ChooseLibraries)
    d.ChooseLibraries = [parent](const std::string& folder) {
      std::vector<std::string> names;
      for (const QString& f : QFileDialog::getOpenFileNames(
               parent, "Read with these sets", U(folder),
               "Sets and library files (*.PCP *.pcp *.sets);;All files (*)"))
        names.push_back(Utf8(f));
      return names;
    };
  if (!d.ChooseUserSet)
    d.ChooseUserSet = [parent](const std::string& folder) {
      QFileDialog dialog(parent, "Teach into this user set (new or existing)", U(folder),
                         "Library files (*.sets)");
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
      dialog.setDefaultSuffix("sets");
      return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                 ? Utf8(dialog.selectedFiles().first())
                 : std::string();
    };
  if (!d.Error)
    d.Error = [parent](const std::string& text) {
      QMessageBox::critical(parent, QApplication::applicationName(), U(text));
    };
}

// Where a file chooser starts: the folder of the file last used for the same, else the current.
std::string Folder(const std::string& file) {
  return file.empty() ? std::string(".") : Utf8(QFileInfo(U(file)).path());
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

ReadWindow::ReadWindow(Workspace* ws, ReadDialogs dialogs, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      dialogs_(std::move(dialogs)),
      form_(std::make_unique<PictureForm>()) {
  setObjectName("ReadWindow");
  setWindowTitle("Morvik - read a picture");
  FillStandardReadDialogs(dialogs_, this);
  setAcceptDrops(true);

  picture_ = new PictureView(*form_);
  text_ = new QPlainTextEdit;
  text_->setObjectName("ReadText");
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPointSize(12);
  text_->setFont(mono);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  auto* lower = new QWidget;
  auto* lowerLayout = new QHBoxLayout(lower);
  lowerLayout->setContentsMargins(4, 4, 4, 4);
  lowerLayout->addWidget(text_, 1);
  lowerLayout->addWidget(BuildSidePanel());

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(picture_);
  split->addWidget(lower);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  setCentralWidget(split);

  status_ = new QLabel;
  status_->setObjectName("ReadStatus");
  progress_ = new QProgressBar;
  progress_->setObjectName("ReadProgress");
  progress_->setMaximumWidth(200);
  progress_->setVisible(false);
  cancelButton_ = Button("ReadCancel", "Cancel", this);
  cancelButton_->setVisible(false);
  statusBar()->addWidget(status_, 1);
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(cancelButton_);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelReading(); });

  BuildMenus();
  connect(picture_, &PictureView::CharClicked, this, [this](int line, int index, bool extend) {
    SelectChar({line, index}, extend);
  });
  connect(text_, &QPlainTextEdit::cursorPositionChanged, this, [this] { TextClicked(); });
  ShowLibraries();
  ShowSelection();
  resize(1000, 720);
}

ReadWindow::~ReadWindow() {
  if (!worker_) return;
  cancel_->store(true);
  worker_->wait();
  delete worker_;
}

void ReadWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&Picture");
  QAction* open = file->addAction("&Open picture...", this, [this] {
    const std::string chosen = dialogs_.OpenPicture(Folder(form_->PictureName()));
    if (!chosen.empty()) OpenPicture(chosen);
  });
  open->setShortcut(QKeySequence::Open);
  open->setObjectName("ActionOpenPicture");
  QAction* again = file->addAction("&Read again", this, [this] { ReadAgain(); });
  again->setShortcut(Qt::Key_F5);
  QAction* libs = file->addAction("Read &with sets...", this, [this] { ChooseLibraries(); });
  file->addAction("Read with the &stock library", this, [this] { SetLibraries({}); });
  QAction* user = file->addAction("&User set to teach...", this, [this] { ChooseUserSet(); });
  file->addSeparator();
  file->addAction("&Close", QKeySequence::Close, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu("&Edit");
  QAction* undo = edit->addAction("&Undo teaching", this, [this] { UndoTeaching(); });
  undo->setShortcut(QKeySequence::Undo);

  QMenu* view = menuBar()->addMenu("&View");
  QAction* zoomIn = view->addAction("Zoom &in", this, [this] { picture_->ZoomBy(1.25); });
  zoomIn->setShortcut(QKeySequence::ZoomIn);
  QAction* zoomOut = view->addAction("Zoom &out", this, [this] { picture_->ZoomBy(0.8); });
  zoomOut->setShortcut(QKeySequence::ZoomOut);
  QAction* fit = view->addAction("&Fit", this, [this] { picture_->FitPicture(); });

  QToolBar* bar = addToolBar("Reading");
  bar->setObjectName("ReadToolBar");
  bar->setMovable(false);
  for (QAction* a : {open, again, libs, user}) bar->addAction(a);
  bar->addSeparator();
  for (QAction* a : {zoomIn, zoomOut, fit}) bar->addAction(a);
}

QWidget* ReadWindow::BuildSidePanel() {
  auto* side = new QWidget;
  side->setFixedWidth(340);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* shapes = new QHBoxLayout;
  cut_ = new QLabel;
  cut_->setObjectName("ReadCut");
  cut_->setFixedSize(114, 114);
  cut_->setAlignment(Qt::AlignCenter);
  cut_->setStyleSheet("background: white; border: 1px solid #888;");
  pattern_ = new PatternView(side);
  shapes->addWidget(cut_);
  shapes->addWidget(pattern_);
  shapes->addStretch(1);
  layout->addLayout(shapes);

  candidates_ = new QTableWidget(3, 4);
  candidates_->setObjectName("ReadCandidates");
  candidates_->setHorizontalHeaderLabels({"Char", "Score", "Set", "No."});
  candidates_->verticalHeader()->setVisible(false);
  candidates_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  candidates_->setSelectionMode(QAbstractItemView::NoSelection);
  candidates_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  candidates_->setColumnWidth(0, 44);
  candidates_->setColumnWidth(1, 64);
  candidates_->setColumnWidth(3, 40);
  candidates_->setFixedHeight(candidates_->horizontalHeader()->height() + 3 * 26 + 4);
  for (int r = 0; r < 3; ++r) candidates_->setRowHeight(r, 26);
  layout->addWidget(candidates_);

  auto* teachBox = new QGroupBox("Correct the selection");
  auto* teachLayout = new QVBoxLayout(teachBox);
  auto* row = new QHBoxLayout;
  correction_ = new QLineEdit;
  correction_->setObjectName("ReadCorrection");
  correction_->setPlaceholderText("the right characters");
  teach_ = Button("ReadTeach", "Teach", teachBox);
  undo_ = Button("ReadUndo", "Undo", teachBox);
  row->addWidget(correction_, 1);
  row->addWidget(teach_);
  row->addWidget(undo_);
  teachLayout->addLayout(row);
  userSet_ = new QLabel;
  userSet_->setObjectName("ReadUserSet");
  teachLayout->addWidget(userSet_);
  layout->addWidget(teachBox);

  libraries_ = new QLabel;
  libraries_->setObjectName("ReadLibraries");
  libraries_->setWordWrap(true);
  layout->addWidget(libraries_);
  layout->addStretch(1);

  connect(teach_, &QPushButton::clicked, this, [this] { Teach(correction_->text()); });
  connect(correction_, &QLineEdit::returnPressed, this, [this] { Teach(correction_->text()); });
  connect(undo_, &QPushButton::clicked, this, [this] { UndoTeaching(); });
  return side;
}

void ReadWindow::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    dialogs_.Error(e.what());
  }
}

void ReadWindow::OpenPicture(const std::string& path) {
  Guarded([&] {
    form_->OpenPicture(path);
    const QByteArray bytes(form_->PictureBytes().data(),
                           static_cast<int>(form_->PictureBytes().size()));
    picture_->SetPicture(QImage::fromData(bytes));
    setWindowTitle("Morvik - " + BaseName(path));
    ShowReading();
    ReadAgain();
  });
}

void ReadWindow::ReadAgain() {
  if (!form_->HasPicture()) return;
  if (worker_) {
    again_ = true;
    cancel_->store(true);
    return;
  }
  StartReading();
}

void ReadWindow::StartReading() {
  ReadRequest request = form_->Request();
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  progress_->setRange(0, 0);  // busy until the lines are counted
  progress_->setVisible(true);
  cancelButton_->setVisible(true);
  status_->setText("Reading " + BaseName(form_->PictureName()) + " ...");
  auto cancel = cancel_;
  QProgressBar* bar = progress_;
  worker_ = QThread::create([this, request = std::move(request), cancel, bar] {
    ReadOutcome outcome = RunReading(request, [cancel, bar](int done, int lines) {
      QMetaObject::invokeMethod(bar, [bar, done, lines] {
        bar->setRange(0, lines);
        bar->setValue(done);
      });
      return !cancel->load();
    });
    QMetaObject::invokeMethod(
        this, [this, outcome = std::move(outcome)]() mutable { FinishReading(outcome); });
  });
  worker_->start();
}

void ReadWindow::FinishReading(ReadOutcome& outcome) {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  progress_->setVisible(false);
  cancelButton_->setVisible(false);
  const bool cancelled = outcome.Cancelled;
  const std::string problem = form_->Apply(std::move(outcome));
  if (again_) {
    again_ = false;
    StartReading();
    return;
  }
  status_->setText(cancelled ? "Reading cancelled" : "");
  if (!problem.empty()) dialogs_.Error(problem);
  ShowReading();
  emit ReadingFinished();
}

void ReadWindow::CancelReading() {
  again_ = false;
  if (cancel_) cancel_->store(true);
}

// The text with rejected characters marked red and the selection yellow.
void ReadWindow::ShowReading() {
  const QSignalBlocker block(text_);
  const std::optional<Reading>& r = form_->Current();
  text_->setPlainText(r ? U(r->Text).chopped(r->Text.empty() ? 0 : 1) : QString());
  if (r) {
    int rejected = 0, chars = 0;
    for (const ReadLine& line : r->Lines)
      for (const ReadChar& c : line.Chars) chars += !c.Blank, rejected += c.Rejected;
    status_->setText(QString("%1 lines, %2 characters, %3 rejected")
                         .arg(r->Lines.size())
                         .arg(chars)
                         .arg(rejected));
  }
  picture_->update();
  ShowSelection();
}

void ReadWindow::ShowSelection() {
  QList<QTextEdit::ExtraSelection> marks;
  const std::optional<Reading>& r = form_->Current();
  auto mark = [&](const CharPlace& place, QColor background, QColor foreground) {
    QTextEdit::ExtraSelection s;
    QTextCursor c(text_->document()->findBlockByNumber(place.Line));
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, form_->TextColumn(place));
    c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
    s.cursor = c;
    s.format.setBackground(background);
    s.format.setForeground(foreground);
    marks.append(s);
  };
  if (r)
    for (std::size_t l = 0; l < r->Lines.size(); ++l)
      for (std::size_t i = 0; i < r->Lines[l].Chars.size(); ++i)
        if (r->Lines[l].Chars[i].Rejected)
          mark({static_cast<int>(l), static_cast<int>(i)}, QColor(255, 210, 210), Qt::red);
  for (const CharPlace& p : form_->Selection()) mark(p, QColor(255, 200, 0), Qt::black);
  text_->setExtraSelections(marks);

  candidates_->clearContents();
  const bool selected = !form_->Selection().empty();
  if (selected) {
    const ReadChar& c = form_->Char(form_->Selection().front());
    for (std::size_t k = 0; k < c.Candidates.size() && k < 3; ++k) {
      const CharCandidate& cand = c.Candidates[k];
      const int row = static_cast<int>(k);
      candidates_->setItem(row, 0, new QTableWidgetItem(cand.Text.empty() ? "?" : U(cand.Text)));
      candidates_->setItem(row, 1, new QTableWidgetItem(QString::number(cand.Score, 'f', 4)));
      candidates_->setItem(row, 2, new QTableWidgetItem(BaseName(cand.Set)));
      candidates_->setItem(row, 3, new QTableWidgetItem(QString::number(cand.Number)));
    }
    const PictureBox& b = c.Box;
    const QImage piece = picture_->Picture().copy(b.Left, b.Top, b.Width, b.Height);
    cut_->setPixmap(QPixmap::fromImage(
        piece.scaled(cut_->size() - QSize(8, 8), Qt::KeepAspectRatio, Qt::FastTransformation)));
    Guarded([&] {
      const TPattern pattern = form_->SelectedPattern();
      pattern_->Show(pattern);
      if (ws_) {
        CopyPattern(pattern, ws_->Bank.EditPattern());
        ws_->View().EditPatternChanged();
      }
    });
    if (!correction_->hasFocus()) correction_->setText(U(form_->SelectedText()));
  } else {
    cut_->clear();
    pattern_->Show(TPattern{});
  }
  teach_->setEnabled(selected);
  undo_->setEnabled(form_->CanUndo());
  picture_->update();
}

void ReadWindow::TextClicked() {
  const QTextCursor c = text_->textCursor();
  const std::optional<CharPlace> place = form_->CharAtText(c.blockNumber(), c.positionInBlock());
  if (place) SelectChar(*place, QApplication::keyboardModifiers() & Qt::ShiftModifier);
}

void ReadWindow::SelectChar(const CharPlace& place, bool extend) {
  if (!form_->Select(place, extend)) return;
  correction_->setText(U(form_->SelectedText()));
  ShowSelection();
}

void ReadWindow::Teach(const QString& text) {
  if (form_->UserLibrary.empty()) ChooseUserSet();
  if (form_->UserLibrary.empty()) return;
  Guarded([&] {
    form_->Teach(Utf8(text));
    status_->setText(QString("Taught %1 into %2").arg(text, BaseName(form_->UserLibrary)));
    ReadAgain();
  });
  ShowSelection();
}

void ReadWindow::UndoTeaching() {
  Guarded([&] {
    form_->Undo();
    ReadAgain();
  });
  ShowSelection();
}

void ReadWindow::SetUserLibrary(const std::string& path) {
  std::string name = path;
  if (!name.empty() && !QString::fromStdString(name).endsWith(".sets", Qt::CaseInsensitive))
    name += ".sets";
  form_->UserLibrary = name;
  ShowLibraries();
  ReadAgain();
}

void ReadWindow::SetLibraries(const std::vector<std::string>& names) {
  form_->Libraries = names;
  ShowLibraries();
  ReadAgain();
}

void ReadWindow::ShowLibraries() {
  QStringList names;
  for (const std::string& n : form_->Libraries) names << BaseName(n);
  libraries_->setText("Read with: " +
                      (names.isEmpty() ? QString("the stock library") : names.join(", ")));
  userSet_->setText(form_->UserLibrary.empty() ? QString("Teaching into: (choose a user set)")
                                               : "Teaching into: " + BaseName(form_->UserLibrary));
}

void ReadWindow::ChooseLibraries() {
  const std::vector<std::string> names = dialogs_.ChooseLibraries(
      Folder(form_->Libraries.empty() ? form_->PictureName() : form_->Libraries.front()));
  if (!names.empty()) SetLibraries(names);
}

void ReadWindow::ChooseUserSet() {
  const std::string chosen = dialogs_.ChooseUserSet(
      Folder(form_->UserLibrary.empty() ? form_->PictureName() : form_->UserLibrary));
  if (!chosen.empty()) SetUserLibrary(chosen);
}

std::string DraggedFile(const QMimeData* data) {
  const QList<QUrl> urls = data->urls();
  return urls.isEmpty() || !urls.first().isLocalFile() ? std::string()
                                                       : Utf8(urls.first().toLocalFile());
}

void ReadWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void ReadWindow::dropEvent(QDropEvent* event) {
  const std::string file = DraggedFile(event->mimeData());
  if (file.empty()) return;
  event->acceptProposedAction();
  OpenPicture(file);
}

}  // namespace morvik::gui
