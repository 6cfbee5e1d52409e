// The settings file "morvik.ini" in the home folder: sections Files, Algorithm and
// ImageProcessing. Read at start-up, written when the window closes, never by a command-line
// run.
#pragma once

#include <string>

#include "runs/workspace.h"

namespace morvik {

// "<home>/morvik.ini" (an existing file whose name differs only in case is the one used).
std::string SettingsPath(const Workspace& ws);

// Keys and defaults, read in this order:
//   Files/LastFileName           -> EditOpenFile, when it is empty  (default "")
//   Files/LastRecognizeName      -> EditPatternsBatch               (default "patterns")
//   Algorithm/Tally              -> EditTally, kept as typed        (default "75")
//   ImageProcessing/AspectRatioEnable -> CheckBoxRatio              (default 1)
//   Files/DynamicFileNameSearch  -> CheckBoxDynamic                 (default 0)
//   ImageProcessing/AspectRatio  -> SpinEditRatio, held in 1..100   (default 100)
// Booleans and integers are decimal or 0x hex; other text gives the default. A missing or
// unreadable file gives all defaults.
void ReadSettings(Workspace& ws, const std::string& path);

// Writes the same keys (LastFileName only when CurrentSetName is set, relative to the home
// folder), keeping every other line of the file. Throws Error "Unable to write to <path>"
// when the file cannot be written; the file on disk is then left as it was.
void WriteSettings(const Workspace& ws, const std::string& path);

// What the main window's creation does besides building controls: read the settings, reopen
// the last set, read "charmap.txt" from the current folder. Returns the map's problem
// message, if any (see LoadCharMap).
std::string FormCreate(Workspace& ws);

}  // namespace morvik
