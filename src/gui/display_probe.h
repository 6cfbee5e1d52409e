// Whether the window system the window would use answers, asked before Qt is started: Qt
// aborts the process (status 134) when its platform cannot open the display, where the
// program should say so and end with status 1. Plain C++; no Qt.
#pragma once

#include <string>

namespace morvik {

// Why the window cannot open its display, as a sentence; empty when it can, or when the
// platform is one this cannot ask (offscreen, vnc and the like: Qt decides). The platform
// is that of QT_QPA_PLATFORM (a list "wayland;xcb" is tried in its order, as Qt does), else
// Wayland where WAYLAND_DISPLAY is set and X11 where DISPLAY is. An X display is opened and
// closed again through libxcb (loaded only here, as Qt's own plugin loads it); a Wayland
// display is the socket of WAYLAND_DISPLAY (under XDG_RUNTIME_DIR unless absolute).
std::string DisplayProblem();

}  // namespace morvik
