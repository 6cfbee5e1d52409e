#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <exception>

#include "core/error.h"
#include "core/file_names.h"
#include "form/form_settings.h"
#include "form/run_buttons.h"
#include "gui/caption_fit.h"
#include "gui/drawing.h"
#include "gui/pattern_editor_view.h"
#include "gui/pattern_grid_view.h"
#include "gui/read_window.h"
#include "gui/spin_edit.h"
#include "gui/text.h"
#include "gui/thumbnail_view.h"
#include "runs/batch_run.h"
#include "runs/folder_run.h"
#include "runs/learning.h"

namespace morvik::gui {

namespace {

QLabel* AddLabel(QWidget* parent, const char* name, const char* text, int x, int y,
                 bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  label->adjustSize();
  label->move(x, y);
  return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* text, QRect at,
                       bool bold = false) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(at);
  button->setAutoDefault(false);
  if (bold) {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
  }
  FitCaption(*button);
  return button;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, QRect at) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(at);
  return edit;
}

// Check boxes and radio buttons with a 13-pixel box and a narrow gap before the
// caption, so that captions fit the widths the layout gives them.
class CompactStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override {
    switch (metric) {
      case PM_IndicatorWidth:
      case PM_IndicatorHeight:
      case PM_ExclusiveIndicatorWidth:
      case PM_ExclusiveIndicatorHeight:
        return 13;
      case PM_CheckBoxLabelSpacing:
      case PM_RadioButtonLabelSpacing:
        return 3;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

// One for the process, owned by the application, which outlives every window.
QStyle* Compact() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new CompactStyle;
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const char* text, QRect at) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setStyle(Compact());
  box->setGeometry(at);
  FitCaption(*box);
  return box;
}

SpinEdit* AddSpinEdit(QWidget* parent, const char* name, int min, int max, int value, QRect at) {
  auto* spin = new SpinEdit(min, max, value, parent);
  spin->setObjectName(name);
  spin->setGeometry(at);
  return spin;
}

void SetBackground(QWidget* widget, QColor colour) {
  widget->setAutoFillBackground(true);
  QPalette pal = widget->palette();
  pal.setColor(QPalette::Window, colour);
  widget->setPalette(pal);
}

// Control refreshes from the engine: set silently, and only when the value differs, so
// that what the user typed (a number out of range, a text that is none) stays.
void SetText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() == q) return;
  const QSignalBlocker block(edit);
  edit->setText(q);
}

void SetText(SpinEdit* spin, const std::string& text) {
  const QString q = Q(text);
  if (spin->text() == q) return;
  const QSignalBlocker block(spin);
  spin->setText(q);
}

void SetValue(SpinEdit* spin, int value) {
  if (spin->value() == value) return;
  const QSignalBlocker block(spin);
  spin->setText(QString::number(value));
}

void SetChecked(QCheckBox* box, bool checked) {
  const QSignalBlocker block(box);
  box->setChecked(checked);
}

}  // namespace

MainWindow::MainWindow(Workspace& ws, DialogHooks dialogs, QWidget* parent)
    : QWidget(parent), ws_(ws), dialogs_(std::move(dialogs)) {
  setObjectName("FormMorvik");
  setWindowTitle("Morvik Win32 version 4.0");
  setFont(WindowFont());
  FillStandardDialogs(dialogs_, this);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  outer->addWidget(BuildPatternsPanel(), 1);
  outer->addWidget(BuildBottomFrame());
  resize(kWindowWidth, kWindowHeight);

  RefreshControls();
  ConnectControls();

  ws_.SetView(this);
  const std::string problem = morvik::FormCreate(ws_);
  if (!problem.empty()) dialogs_.Error(problem);
  RefreshControls();
  ResultsChanged();

  // Reading whole pictures lives in its own window, so this one looks as it always has.
  setAcceptDrops(true);
  auto* read = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
  connect(read, &QShortcut::activated, this, [this] { OpenReader(); });
}

MainWindow::~MainWindow() {
  delete reader_;  // it views the workspace too
  ws_.SetView(nullptr);
}

ReadWindow* MainWindow::OpenReader() {
  if (!reader_) {
    ReadDialogs hooks;
    hooks.OpenPicture = dialogs_.OpenPicture;
    hooks.Error = dialogs_.Error;
    reader_ = new ReadWindow(&ws_, hooks);
  }
  reader_->show();
  reader_->raise();
  return reader_;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::string file = DraggedFile(event->mimeData());
  if (file.empty()) return;
  event->acceptProposedAction();
  OpenReader()->OpenPicture(file);
}

// The grid of patterns beside the panel of controls.
QWidget* MainWindow::BuildPatternsPanel() {
  auto* panelPatterns = new QWidget(this);
  panelPatterns->setObjectName("PanelPatterns");
  SetBackground(panelPatterns, Qt::white);
  auto* upper = new QHBoxLayout(panelPatterns);
  upper->setContentsMargins(0, 0, 0, 0);
  upper->setSpacing(0);

  scrollBox1_ = new QScrollArea(panelPatterns);
  scrollBox1_->setObjectName("ScrollBox1");
  grid_ = new PatternGridView(ws_);
  scrollBox1_->setWidget(grid_);
  scrollBox1_->setWidgetResizable(false);
  SetBackground(scrollBox1_->viewport(), Qt::white);
  upper->addWidget(scrollBox1_, 1);

  auto* panelControls = new QFrame(panelPatterns);
  panelControls->setObjectName("PanelControls");
  panelControls->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panelControls->setLineWidth(2);
  panelControls->setFixedWidth(kControlPanelWidth);
  SetBackground(panelControls, palette().color(QPalette::Button));
  upper->addWidget(panelControls);
  BuildControlPanel(panelControls);

  return panelPatterns;
}

QWidget* MainWindow::BuildBottomFrame() {
  auto* panel1 = new QFrame(this);
  panel1->setObjectName("Panel1");
  panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel1->setLineWidth(1);
  panel1->setFixedHeight(kBottomPanelHeight);
  SetBackground(panel1, palette().color(QPalette::Button));
  BuildBottomPanel(panel1);

  return panel1;
}

void MainWindow::BuildBottomPanel(QWidget* p) {
  BuildResultLabels(p);
  BuildSetControls(p);
  BuildRunControls(p);
}

void MainWindow::BuildResultLabels(QWidget* p) {
  AddLabel(p, "Label1", "Best Results:", 24, 5, true);
  const QColor backgrounds[3] = {ToQColor(kRed), ToQColor(kLime), ToQColor(kAqua)};
  for (int k = 0; k < 3; ++k) {
    auto* label = new QLabel(p);
    label->setObjectName(QString("LabelRes%1").arg(k + 1));
    label->setGeometry(112, 5 + 24 * k, 150, 20);
    QFont font = label->font();
    font.setPixelSize(16);
    label->setFont(font);
    SetBackground(label, backgrounds[k]);
    labelRes_[k] = label;
  }
}

// The set file, its buttons, the scoring buttons and the tally.
void MainWindow::BuildSetControls(QWidget* p) {
  AddLabel(p, "Label3", "Filename:", 280, 1);
  editOpenFile_ = AddEdit(p, "EditOpenFile", QRect(280, 17, 281, 21));
  auto* open = AddButton(p, "ButtonOpen", "Open DOS file", QRect(272, 45, 97, 25), true);
  auto* save = AddButton(p, "ButtonSave", "Save DOS file", QRect(376, 45, 97, 25), true);
  auto* empty = AddButton(p, "ButtonNew", "New/Empty", QRect(480, 45, 89, 25), true);
  auto* computeN =
      AddButton(p, "ButtonComputeN", "Compute+Normalize", QRect(576, 13, 137, 25), true);
  auto* compute = AddButton(p, "ButtonProcess", "Compute", QRect(720, 13, 75, 25), true);
  QPalette red = compute->palette();
  red.setColor(QPalette::ButtonText, ToQColor(kRed));
  compute->setPalette(red);
  AddLabel(p, "Label2", "Tally:", 576, 45);
  editTally_ = AddSpinEdit(p, "EditTally", 0, 100, 75, QRect(600, 40, 41, 22));
  AddLabel(p, "Label9", "%", 640, 45);

  connect(open, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
  connect(save, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  connect(empty, &QPushButton::clicked, this,
          [this] { Guarded([this] { ws_.ButtonNewClick(); }); });
  connect(compute, &QPushButton::clicked, this,
          [this] { Guarded([this] { ws_.ButtonProcessClick(); }); });
  connect(computeN, &QPushButton::clicked, this,
          [this] { Guarded([this] { ws_.ButtonComputeNClick(); }); });
}

// The folders of the runs and their buttons.
void MainWindow::BuildRunControls(QWidget* p) {
  checkBoxDynamic_ =
      AddCheckBox(p, "CheckBoxDynamic", "Dynamic file name", QRect(688, 48, 113, 17));
  AddLabel(p, "Label10", "Recognized patterns directory:", 808, 8);
  editPatternsBatch_ = AddEdit(p, "EditPatternsBatch", QRect(808, 24, 145, 21));
  auto* recognize = AddButton(p, "ButtonRecognize", "Recognize", QRect(960, 24, 75, 25));
  auto* batch = AddButton(p, "ButtonRecBatch", "Batch Recognize", QRect(1048, 24, 89, 25));
  editAutoPat_ = AddEdit(p, "EditAutoPat", QRect(808, 64, 145, 21));
  auto* learn = AddButton(p, "ButtonAutoPat", "Learn Patterns", QRect(960, 64, 75, 25));

  connect(recognize, &QPushButton::clicked, this,
          [this] { GuardedRun([this] { ButtonRecognizeClick(ws_); }); });
  connect(batch, &QPushButton::clicked, this,
          [this] { GuardedRun([this] { ButtonRecBatchClick(ws_); }); });
  connect(learn, &QPushButton::clicked, this,
          [this] { GuardedRun([this] { ButtonAutoPatClick(ws_); }); });
}

void MainWindow::BuildControlPanel(QWidget* panel) {
  // Positions count from the panel's own corner; its border is painted inside.
  BuildEditorControls(panel);
  BuildImageControls(panel);
  BuildThumbnailBox(panel);
}

// The pattern editor and its buttons.
void MainWindow::BuildEditorControls(QWidget* p) {
  auto* panelEdit = new QFrame(p);
  panelEdit->setObjectName("PanelEdit");
  panelEdit->setFrameStyle(QFrame::Box | QFrame::Plain);
  panelEdit->setLineWidth(1);
  panelEdit->setGeometry(1, 1, 122, 122);
  SetBackground(panelEdit, Qt::white);
  editor_ = new PatternEditorView(ws_, panelEdit);
  editor_->move(5, 5);

  auto* erase = AddButton(p, "ButtonErase", "Erase", QRect(152, 8, 41, 25));
  AddLabel(p, "Label5", "Fill Int:", 152, 40);
  spinEditFill_ = AddSpinEdit(p, "SpinEditFill", 0, 5, 3, QRect(152, 64, 33, 22));
  auto* loadP = AddButton(p, "ButtonLoadP", "Load Pattern#", QRect(200, 8, 73, 25));
  auto* storeP = AddButton(p, "ButtonStoreP", "Store Pattern#", QRect(200, 40, 73, 25));
  editNoPat_ = AddSpinEdit(p, "EditNoPat", 1, 40, 1, QRect(280, 24, 41, 22));
  auto* testLoad = AddButton(p, "ButtonTestPicLoad", "Load test pic", QRect(328, 8, 65, 25));
  auto* testStore = AddButton(p, "ButtonTestPicStore", "Store test pic", QRect(328, 40, 65, 25));
  checkBoxButtons_ =
      AddCheckBox(p, "CheckBoxButtons", "Hold button to fill/erase", QRect(200, 72, 137, 17));
  AddLabel(p, "Label4", "Use mouse buttons to increase/decrease int.", 152, 96);
  AddLabel(p, "Label6", "Mouse move + Ctrl=Max, Shift=Min, Both=Fill", 152, 112);

  connect(erase, &QPushButton::clicked, this, [this] { ws_.ButtonEraseClick(); });
  connect(loadP, &QPushButton::clicked, this, [this] { ws_.ButtonLoadPClick(); });
  connect(storeP, &QPushButton::clicked, this, [this] { ws_.ButtonStorePClick(); });
  connect(testLoad, &QPushButton::clicked, this, [this] { ws_.ButtonTestPicLoadClick(); });
  connect(testStore, &QPushButton::clicked, this, [this] { ws_.ButtonTestPicStoreClick(); });
}

// The picture preview and the image settings.
void MainWindow::BuildImageControls(QWidget* p) {
  labelImageName_ = AddEdit(p, "LabelImageName", QRect(104, 152, 289, 25));
  imageBMP_ = new QLabel(p);
  imageBMP_->setObjectName("ImageBMP");
  imageBMP_->setGeometry(8, 160, 89, 89);
  imageBMP_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* colour = new QGroupBox("Color", p);
  colour->setObjectName("RadioGroupCol");
  colour->setGeometry(104, 176, 73, 49);
  radioGroupCol_ = new QButtonGroup(this);
  const char* items[2] = {"White", "Black"};
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(items[i], colour);
    radio->setStyle(Compact());
    radio->setObjectName(QString("RadioCol%1").arg(items[i]));
    radio->setGeometry(8, 14 + 16 * i, 60, 17);
    FitCaption(*radio);
    radioGroupCol_->addButton(radio, i);
  }
  checkBoxAuto_ = AddCheckBox(p, "CheckBoxAuto", "Autodetect", QRect(184, 184, 73, 17));
  checkBoxRatio_ = AddCheckBox(p, "CheckBoxRatio", "Aspect Ratio:", QRect(256, 184, 81, 17));
  spinEditRatio_ = AddSpinEdit(p, "SpinEditRatio", 1, 100, 100, QRect(340, 183, 41, 22));
  checkBoxCrop_ = AddCheckBox(p, "CheckBoxCrop", "AutoCrop", QRect(256, 200, 81, 17));
  AddLabel(p, "Label7", "Treshold (%)", 192, 224);
  spinEditTresh_ = AddSpinEdit(p, "SpinEditTresh", 0, 100, 45, QRect(254, 224, 42, 22));
  AddLabel(p, "Label8", "Increment (%)", 184, 248);
  spinEditInc_ = AddSpinEdit(p, "SpinEditInc", 0, 100, 50, QRect(254, 248, 42, 22));
  auto* bmp = AddButton(p, "ButtonBMP", "Load BMP", QRect(104, 240, 75, 25));
  connect(bmp, &QPushButton::clicked, this, [this] { ButtonBMPClick(); });
}

void MainWindow::BuildThumbnailBox(QWidget* p) {
  scrollBox2_ = new QScrollArea(p);
  scrollBox2_->setObjectName("ScrollBox2");
  scrollBox2_->setGeometry(8, 288, 385, 353);
  thumbnails_ = new ThumbnailView;
  scrollBox2_->setWidget(thumbnails_);
  scrollBox2_->setWidgetResizable(false);
}

void MainWindow::ConnectControls() {
  connect(editOpenFile_, &QLineEdit::textChanged, this,
          [this](const QString& t) { Feed([&] { ws_.SetEditOpenFile(S(t)); }); });
  connect(editTally_, &SpinEdit::textChanged, this,
          [this](const QString& t) { Feed([&] { ws_.SetEditTally(S(t)); }); });
  connect(editPatternsBatch_, &QLineEdit::textChanged, this,
          [this](const QString& t) { ws_.EditPatternsBatch = S(t); });
  connect(editAutoPat_, &QLineEdit::textChanged, this,
          [this](const QString& t) { ws_.EditAutoPat = S(t); });
  connect(checkBoxDynamic_, &QCheckBox::toggled, this,
          [this](bool on) { ws_.CheckBoxDynamic = on; });
  connect(spinEditFill_, &SpinEdit::textChanged, this,
          [this] { ws_.SpinEditFill = spinEditFill_->value(); });
  connect(editNoPat_, &SpinEdit::textChanged, this,
          [this] { ws_.EditNoPat = editNoPat_->value(); });
  connect(checkBoxButtons_, &QCheckBox::toggled, this,
          [this](bool on) { ws_.CheckBoxButtons = on; });

  ImageSettings* s = &ws_.Image.Settings;
  connect(radioGroupCol_, &QButtonGroup::idToggled, this, [this](int item, bool checked) {
    if (checked) Guarded([this, item] { ws_.RadioGroupColClick(item); });
  });
  connect(checkBoxAuto_, &QCheckBox::toggled, this, [s](bool on) { s->CheckBoxAuto = on; });
  connect(checkBoxRatio_, &QCheckBox::toggled, this, [s](bool on) { s->CheckBoxRatio = on; });
  connect(checkBoxCrop_, &QCheckBox::toggled, this, [s](bool on) { s->CheckBoxCrop = on; });
  connect(spinEditRatio_, &SpinEdit::textChanged, this,
          [this, s] { s->SetSpinEditRatio(spinEditRatio_->value()); });
  connect(spinEditTresh_, &SpinEdit::textChanged, this,
          [this] { Feed([&] { ws_.SetSpinEditTresh(spinEditTresh_->value()); }); });
  connect(spinEditInc_, &SpinEdit::textChanged, this,
          [this] { Feed([&] { ws_.SetSpinEditInc(spinEditInc_->value()); }); });
}

void MainWindow::RefreshControls() {
  SetText(editOpenFile_, ws_.EditOpenFile());
  SetText(editTally_, ws_.EditTally());
  SetText(editPatternsBatch_, ws_.EditPatternsBatch);
  SetText(editAutoPat_, ws_.EditAutoPat);
  SetChecked(checkBoxDynamic_, ws_.CheckBoxDynamic);
  SetValue(spinEditFill_, ws_.SpinEditFill);
  SetValue(editNoPat_, ws_.EditNoPat);
  SetChecked(checkBoxButtons_, ws_.CheckBoxButtons);
  const ImageSettings& s = ws_.Image.Settings;
  {
    const QSignalBlocker block(radioGroupCol_);
    if (QAbstractButton* item = radioGroupCol_->button(s.RadioGroupCol)) {
      const QSignalBlocker blockItem(item);
      item->setChecked(true);
    }
  }
  SetChecked(checkBoxAuto_, s.CheckBoxAuto);
  SetChecked(checkBoxRatio_, s.CheckBoxRatio);
  SetValue(spinEditRatio_, s.SpinEditRatio());
  SetChecked(checkBoxCrop_, s.CheckBoxCrop);
  SetValue(spinEditTresh_, s.SpinEditTresh());
  SetValue(spinEditInc_, s.SpinEditInc());
}

void MainWindow::Feed(const std::function<void()>& change) {
  ++feeding_;
  try {
    change();
  } catch (...) {
    --feeding_;
    throw;
  }
  --feeding_;
}

void MainWindow::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    dialogs_.Error(e.what());
  }
}

void MainWindow::GuardedRun(const std::function<void()>& run) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Guarded(run);
  QApplication::restoreOverrideCursor();
  ResultsChanged();
}

void MainWindow::ButtonOpenClick() {
  const std::string chosen = dialogs_.OpenSet(ws_.HomeFolder());
  if (chosen.empty()) return;
  Guarded([&] { ws_.ButtonOpenClick(chosen); });
}

void MainWindow::ButtonSaveClick() {
  const std::string proposed =
      ws_.CurrentSetName.empty() ? std::string() : JoinPath(ws_.HomeFolder(), ws_.CurrentSetName);
  const std::string chosen = dialogs_.SaveSet(ws_.HomeFolder(), proposed);
  if (chosen.empty()) return;
  Guarded([&] { ws_.ButtonSaveClick(chosen); });
}

void MainWindow::ButtonBMPClick() {
  const std::string& last = ws_.Image.PictureFileName;
  const std::size_t slash = last.find_last_of('/');
  const std::string folder = slash == std::string::npos ? ws_.HomeFolder() : last.substr(0, slash);
  const std::string chosen = dialogs_.OpenPicture(folder);
  if (chosen.empty()) return;
  Guarded([&] { ws_.ButtonBMPClick(chosen); });
}

// --- WorkspaceView ---

void MainWindow::EditPatternChanged() {
  editor_->repaint();
}

void MainWindow::GridChanged() {
  grid_->repaint();
}

void MainWindow::PreviewChanged() {
  const Bitmap& preview = ws_.Image.Preview;
  imageBMP_->resize(preview.Width(), preview.Height());
  imageBMP_->setPixmap(QPixmap::fromImage(ToQImage(preview)));
  labelImageName_->setText(Q(ws_.Image.ImageName));
  imageBMP_->repaint();
}

void MainWindow::ResultsChanged() {
  for (int k = 0; k < 3; ++k)
    labelRes_[k]->setText(Q(ws_.Display.ResultLabels[static_cast<std::size_t>(k)]));
}

void MainWindow::ControlsChanged() {
  if (feeding_ == 0) RefreshControls();
}

void MainWindow::ThumbnailsCleared() {
  thumbnails_->Clear();
}

void MainWindow::ImageRecognized(const RecognizedImage& image) {
  thumbnails_->Draw(image, ws_.Chars);
  ResultsChanged();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::Message(const std::string& text) {
  dialogs_.Information(text);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  try {
    FormClose(ws_);
    event->accept();
  } catch (const morvik::Error& e) {
    dialogs_.Error(e.what());
    event->ignore();
  }
}

// The outer size includes the frame the window system adds, once it is known.
void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (sized_) return;
  sized_ = true;
  const QSize frame = frameGeometry().size() - size();
  if (frame.width() > 0 || frame.height() > 0)
    resize(kWindowWidth - frame.width(), kWindowHeight - frame.height());
}

}  // namespace morvik::gui
