// Writes a picture of the main window after a typical session, for a person to look at:
// learns the example set, recognises the example folder, loads a picture with "Load BMP"
// and presses "Compute"; then of the reading window after reading a picture of three lines,
// one box selected with its candidates (<output>-read.png).
//   morvik_screenshot <output.png> <examples folder>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <clocale>
#include <filesystem>
#include <iostream>
#include <string>

#include "form/picture_form.h"
#include "form/run_buttons.h"
#include "form/workspace.h"
#include "gui/main_window.h"
#include "gui/read_window.h"

namespace fs = std::filesystem;

namespace {

// "shot.png" -> "shot-read.png"
std::string ReadShotName(const std::string& output) {
  const std::size_t dot = output.rfind(".png");
  return dot == std::string::npos ? output + "-read.png" : output.substr(0, dot) + "-read.png";
}

// The reading window after reading the picture, the third character of its first line
// selected (its candidates, cut and pattern shown).
bool ReadWindowShot(morvik::gui::MainWindow& window, const fs::path& picture,
                    const std::string& output) {
  morvik::gui::ReadWindow* reader = window.OpenReader();
  reader->resize(1000, 640);
  reader->show();
  QApplication::processEvents();
  reader->OpenPicture(picture.string());
  while (reader->IsReading()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
  QApplication::processEvents();
  reader->SelectChar({0, 2}, false);
  QApplication::processEvents();
  return reader->grab().save(QString::fromStdString(output), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: morvik_screenshot <output.png> <examples folder>\n";
    return 2;
  }
  const std::string output = argv[1];
  const fs::path examples = argv[2];
  QApplication app(argc, argv);
  QApplication::setApplicationName("Morvik 32 v3");
  std::setlocale(LC_NUMERIC, "C");

  QTemporaryDir temp;
  if (!temp.isValid()) {
    std::cerr << "morvik_screenshot: no temporary folder\n";
    return 1;
  }
  const fs::path home = temp.path().toStdString();
  std::error_code ec;
  fs::copy(examples / "learn", home / "learn", fs::copy_options::recursive, ec);
  if (!ec) fs::copy(examples / "patterns", home / "patterns", fs::copy_options::recursive, ec);
  if (!ec) fs::copy(examples / "charmap.txt", home / "charmap.txt", ec);
  if (ec) {
    std::cerr << "morvik_screenshot: cannot copy the examples from " << examples << ": "
              << ec.message() << "\n";
    return 1;
  }

  int problems = 0;
  morvik::gui::DialogHooks dialogs;
  dialogs.OpenPicture = [&](const std::string&) { return (home / "patterns/1_3.bmp").string(); };
  dialogs.Information = [&](const std::string& text) { std::cerr << "message: " << text << "\n"; };
  dialogs.Error = [&](const std::string& text) {
    std::cerr << "error: " << text << "\n";
    ++problems;
  };
  morvik::Workspace ws(home.string(), home.string());
  morvik::gui::MainWindow window(ws, dialogs);
  // The examples are dark glyphs on white: "Black" makes them the bright content that
  // "AutoCrop" keeps, so every size fills the raster.
  ws.Image.Settings.RadioGroupCol = 1;
  ws.Image.Settings.CheckBoxCrop = true;
  window.ControlsChanged();
  window.show();
  QApplication::processEvents();

  for (const char* button : {"ButtonAutoPat", "ButtonRecognize", "ButtonBMP", "ButtonProcess"}) {
    window.findChild<QPushButton*>(button)->click();
    QApplication::processEvents();
  }
  if (!window.grab().save(QString::fromStdString(output), "PNG")) {
    std::cerr << "morvik_screenshot: cannot write " << output << "\n";
    return 1;
  }
  const std::string readOutput = ReadShotName(output);
  if (!ReadWindowShot(window, examples / "pictures/note.png", readOutput)) {
    std::cerr << "morvik_screenshot: cannot write " << readOutput << "\n";
    return 1;
  }
  return problems == 0 ? 0 : 1;
}
