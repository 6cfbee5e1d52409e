// Writes a picture of the main window after a typical session, for a person to look at:
// learns the example set, recognises the example folder, loads a picture with "Load BMP"
// and presses "Compute".
//   morvik_screenshot <output.png> <examples folder>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <clocale>
#include <filesystem>
#include <iostream>
#include <string>

#include "form/run_buttons.h"
#include "form/workspace.h"
#include "gui/main_window.h"

namespace fs = std::filesystem;

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
  return problems == 0 ? 0 : 1;
}
