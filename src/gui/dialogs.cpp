#include "gui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/text.h"

namespace morvik::gui {

void FillStandardDialogs(DialogHooks& hooks, QWidget* parent) {
  if (!hooks.OpenSet)
    hooks.OpenSet = [parent](const std::string& folder) {
      return S(QFileDialog::getOpenFileName(parent, QString(), Q(folder)));
    };
  if (!hooks.SaveSet)
    hooks.SaveSet = [parent](const std::string& folder, const std::string& proposed) {
      QFileDialog dialog(parent);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setDirectory(Q(folder));
      dialog.selectFile(Q(proposed));
      return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                 ? S(dialog.selectedFiles().first())
                 : std::string();
    };
  if (!hooks.OpenPicture)
    hooks.OpenPicture = [parent](const std::string& folder) {
      return S(QFileDialog::getOpenFileName(parent, QString(), Q(folder), kPictureFilter));
    };
  if (!hooks.Information)
    hooks.Information = [parent](const std::string& text) {
      QMessageBox::information(parent, QApplication::applicationName(), Q(text));
    };
  if (!hooks.Error)
    hooks.Error = [parent](const std::string& text) {
      QMessageBox::critical(parent, QApplication::applicationName(), Q(text));
    };
}

}  // namespace morvik::gui
