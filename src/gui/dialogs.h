// The dialogs of the main window, behind replaceable functions so that the window can be
// driven without a modal box. A hook left empty shows the standard dialog.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace morvik::gui {

struct DialogHooks {
  // File choosers: the chosen file, or an empty string when cancelled.
  std::function<std::string(const std::string& folder)> OpenSet;  // "Open DOS file"
  std::function<std::string(const std::string& folder, const std::string& proposed)>
      SaveSet;                                                        // "Save DOS file"
  std::function<std::string(const std::string& folder)> OpenPicture;  // "Load BMP"
  // Message boxes: the engine's messages, and errors that abandoned an operation.
  std::function<void(const std::string& text)> Information;
  std::function<void(const std::string& text)> Error;
};

// The pictures "Load BMP" offers: every format the picture reader knows, BMP first.
constexpr const char* kPictureFilter =
    "Pictures (*.bmp *.png *.pgm *.ppm *.pbm *.pnm);;Bitmaps (*.bmp);;PNG (*.png);;"
    "PNM (*.pgm *.ppm *.pbm *.pnm);;All files (*)";

// Fills every empty hook with its standard dialog, parented to `parent`.
void FillStandardDialogs(DialogHooks& hooks, QWidget* parent);

}  // namespace morvik::gui
