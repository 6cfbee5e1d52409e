// The form's side of the settings file: which controls its keys fill, what the window's
// creation reads and what its closing writes.
#pragma once

#include <string>

#include "form/workspace.h"

namespace morvik {

// "<home>/morvik.ini" of the workspace's home folder.
std::string SettingsPath(const Workspace& ws);

// The keys into the controls, in this order:
//   Files/LastFileName           -> EditOpenFile, when it is empty
//   Files/LastRecognizeName      -> EditPatternsBatch
//   Algorithm/Tally              -> EditTally, kept as typed
//   ImageProcessing/AspectRatioEnable -> CheckBoxRatio
//   Files/DynamicFileNameSearch  -> CheckBoxDynamic
//   ImageProcessing/AspectRatio  -> SpinEditRatio
// (see ReadSettingsFile for the defaults).
void ReadSettings(Workspace& ws, const std::string& path);

// Writes the same keys (LastFileName only when CurrentSetName is set, relative to the home
// folder), keeping every other line of the file. Throws Error "Unable to write to <path>"
// when the file cannot be written; the file on disk is then left as it was.
void WriteSettings(const Workspace& ws, const std::string& path);

// What the main window's creation does besides building controls: read the settings, reopen
// the last set, read "charmap.txt" from the current folder. Returns the map's problem
// message, if any (see LoadCharMap).
std::string FormCreate(Workspace& ws);

// What the main window's closing does: write the settings (throws as WriteSettings).
void FormClose(const Workspace& ws);

}  // namespace morvik
