// The display probe that runs before Qt: which platform it asks, and that a display that
// does not answer is found (where Qt itself would abort), while platforms it cannot ask are
// left to Qt.
#include <QtTest>

#include <cstdlib>

#include "gui/display_probe.h"

namespace {

// Sets or, for nullptr, unsets a variable.
void SetEnv(const char* name, const char* value) {
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

}  // namespace

class DisplayProbeTest : public QObject {
  Q_OBJECT

 private slots:
  void PlatformsThatDoNotAnswerAreFound() {
    const char* const kPlatform = std::getenv("QT_QPA_PLATFORM");
    const std::string saved = kPlatform ? kPlatform : "";
    const struct {
      const char *platform, *display, *wayland;
      bool answers;
    } cases[] = {
        {"offscreen", nullptr, nullptr, true},
        {"minimal", ":9731", nullptr, true},
        {"xcb", nullptr, nullptr, false},
        {"xcb", ":9731", nullptr, false},
        {nullptr, ":9731", nullptr, false},
        {"wayland", nullptr, "/nonexistent/wayland-9", false},
        {nullptr, nullptr, "/nonexistent/wayland-9", false},
        {"wayland;xcb", ":9731", "/nonexistent/wayland-9", false},
        {"xcb;offscreen", nullptr, nullptr, true},
        {"xcb:dpi=96", ":9731", nullptr, false},
    };
    for (const auto& c : cases) {
      SetEnv("QT_QPA_PLATFORM", c.platform);
      SetEnv("DISPLAY", c.display);
      SetEnv("WAYLAND_DISPLAY", c.wayland);
      const std::string problem = morvik::DisplayProblem();
      QVERIFY2(
          problem.empty() == c.answers,
          (std::string(c.platform ? c.platform : "(unset)") + ": \"" + problem + "\"").c_str());
    }
    SetEnv("QT_QPA_PLATFORM", saved.c_str());
    SetEnv("DISPLAY", nullptr);
    SetEnv("WAYLAND_DISPLAY", nullptr);
  }
};

QTEST_APPLESS_MAIN(DisplayProbeTest)
#include "display_probe_test.moc"
