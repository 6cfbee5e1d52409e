#include "gui/application.h"

#include <QApplication>
#include <clocale>

#include "form/workspace.h"
#include "gui/main_window.h"
#include "gui/read_window.h"

namespace morvik {

int RunMainWindow(int argc, char** argv, const std::string& home, const std::string& start) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Morvik 32 v3");
  // QApplication takes the number format from the environment; every number the program
  // writes or shows uses ".".
  std::setlocale(LC_NUMERIC, "C");
  Workspace ws(home, start);
  gui::MainWindow window(ws);
  window.show();
  // "morvik-window PICTURE" opens the picture in the reading window and reads it.
  const QStringList args = QCoreApplication::arguments();
  if (args.size() > 1) window.OpenReader()->OpenPicture(args.at(1).toUtf8().toStdString());
  return app.exec();
}

}  // namespace morvik
