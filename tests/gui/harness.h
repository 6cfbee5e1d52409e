// A main window over a workspace in a temporary home folder, with every dialog replaced by
// a recorder, so that tests never block on a modal box.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "form/workspace.h"
#include "gui/main_window.h"
#include "gui/spin_edit.h"
#include "test_util.h"

namespace morvik::gui::test {

struct Harness {
  morvik::test::TempDir home;
  std::vector<std::string> infos, errors;
  std::string openSet, saveSet, picture;  // what the file dialogs "choose"
  std::unique_ptr<Workspace> ws;
  std::unique_ptr<MainWindow> window;

  std::string File(const std::string& name) const { return home.File(name); }

  MainWindow& Start() {
    ws = std::make_unique<Workspace>(home.Path(), home.Path());
    DialogHooks hooks;
    hooks.OpenSet = [this](const std::string&) { return openSet; };
    hooks.SaveSet = [this](const std::string&, const std::string&) { return saveSet; };
    hooks.OpenPicture = [this](const std::string&) { return picture; };
    hooks.Information = [this](const std::string& t) { infos.push_back(t); };
    hooks.Error = [this](const std::string& t) { errors.push_back(t); };
    window = std::make_unique<MainWindow>(*ws, hooks);
    return *window;
  }
  ~Harness() {
    window.reset();  // before the workspace it views
    ws.reset();
  }

  template <typename T>
  T* Find(const char* name) const {
    T* w = window->findChild<T*>(name);
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QString Text(const char* name) const {
    if (auto* e = window->findChild<QLineEdit*>(name)) return e->text();
    return Find<SpinEdit>(name)->text();
  }
  void Click(const char* name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
  // Replaces a field's text as typing would.
  void Type(const char* name, const QString& text) {
    QWidget* w = window->findChild<QLineEdit*>(name);
    if (!w) w = Find<SpinEdit>(name);
    QLineEdit* edit =
        qobject_cast<QLineEdit*>(w) ? qobject_cast<QLineEdit*>(w) : w->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
};

}  // namespace morvik::gui::test
