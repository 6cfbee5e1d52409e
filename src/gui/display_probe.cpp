#include "gui/display_probe.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace morvik {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

enum class Answer { kYes, kNo, kUnknown };

// libxcb's own calls, looked up at run time so that the program needs no X headers to build.
Answer XDisplayAnswers(const std::string& display) {
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return Answer::kUnknown;  // nor could Qt's xcb plugin load: Qt will say so
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  Answer answer = Answer::kUnknown;
  if (connect && hasError && disconnect) {
    void* connection = connect(display.empty() ? nullptr : display.c_str(), nullptr);
    answer = hasError(connection) == 0 ? Answer::kYes : Answer::kNo;
    disconnect(connection);  // also frees a connection in error
  }
  dlclose(xcb);
  return answer;
}

Answer WaylandDisplayAnswers(const std::string& name) {
  const std::string display = name.empty() ? "wayland-0" : name;
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  if (display[0] != '/' && runtime.empty()) return Answer::kNo;
  const std::string path = display[0] == '/' ? display : runtime + "/" + display;
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return Answer::kNo;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Answer::kUnknown;
  const bool answers = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answers ? Answer::kYes : Answer::kNo;
}

// One platform of the list: its name before any ":arguments".
Answer PlatformAnswers(const std::string& entry, std::string& why) {
  const std::string platform = entry.substr(0, entry.find(':'));
  if (platform == "xcb") {
    const std::string display = Env("DISPLAY");
    why = display.empty() ? "no X display is named (DISPLAY is not set)"
                          : "the X display \"" + display + "\" cannot be opened";
    return XDisplayAnswers(display);
  }
  if (platform.rfind("wayland", 0) == 0) {
    const std::string display = Env("WAYLAND_DISPLAY");
    why = "the Wayland display \"" + (display.empty() ? "wayland-0" : display) +
          "\" cannot be opened";
    return WaylandDisplayAnswers(display);
  }
  return Answer::kUnknown;
}

std::vector<std::string> Platforms() {
  std::vector<std::string> platforms;
  const std::string chosen = Env("QT_QPA_PLATFORM");
  if (chosen.empty()) {
    if (!Env("WAYLAND_DISPLAY").empty()) platforms.push_back("wayland");
    if (!Env("DISPLAY").empty() || platforms.empty()) platforms.push_back("xcb");
    return platforms;
  }
  for (std::size_t pos = 0; pos <= chosen.size();) {
    std::size_t end = chosen.find(';', pos);
    if (end == std::string::npos) end = chosen.size();
    if (end > pos) platforms.push_back(chosen.substr(pos, end - pos));
    pos = end + 1;
  }
  return platforms;
}

}  // namespace

std::string DisplayProblem() {
  std::string problems;
  for (const std::string& platform : Platforms()) {
    std::string why;
    const Answer answer = PlatformAnswers(platform, why);
    if (answer != Answer::kNo) return "";  // it answers, or Qt must find out
    problems += (problems.empty() ? "" : "; ") + why;
  }
  return problems;
}

}  // namespace morvik
