// The settings file "morvik.ini" of the home folder: sections Files, Algorithm and
// ImageProcessing, as plain values.
#pragma once

#include <string>

namespace morvik {

struct StoredSettings {
  std::string LastFileName;                    // Files/LastFileName: the last set's base name
  std::string LastRecognizeName = "patterns";  // Files/LastRecognizeName
  std::string Tally = "75";                    // Algorithm/Tally, kept as typed
  bool AspectRatioEnable = true;               // ImageProcessing/AspectRatioEnable
  bool DynamicFileNameSearch = false;          // Files/DynamicFileNameSearch
  int AspectRatio = 100;                       // ImageProcessing/AspectRatio, held in 1..100
};

// "<home>/morvik.ini" (an existing file whose name differs only in case is the one used).
std::string SettingsPath(const std::string& home);

// Booleans and integers are decimal or 0x hex; other text gives the default. A missing or
// unreadable file gives all defaults.
StoredSettings ReadSettingsFile(const std::string& path);

// Writes the keys (LastFileName only when not empty), keeping every other line of the file.
// Throws Error "Unable to write to <path>" when the file cannot be written; the file on disk
// is then left as it was.
void WriteSettingsFile(const std::string& path, const StoredSettings& settings);

}  // namespace morvik
