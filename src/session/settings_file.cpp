#include "session/settings_file.h"

// Settings are 8-bit text: no Unicode conversion.
#define SI_NO_CONVERSION
// The templates are compiled here, so no SimpleIni library (and no ICU) is loaded at start.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>

#include "core/error.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/safe_write.h"
#include "core/whole_number.h"

namespace morvik {

namespace {

// Far more than the few keys the program writes.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

long ReadInteger(const CSimpleIniA& ini, const char* section, const char* key, long fallback) {
  const char* text = ini.GetValue(section, key, nullptr);
  long value = 0;
  return text && ParseWholeNumber(text, value) ? value : fallback;
}

// The file's lines end in CR LF like every text file of the system.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
    out += c;
  }
  return out;
}

// Reads the settings file only if it is a regular file (a FIFO never blocks the start).
bool LoadIni(CSimpleIniA& ini, const std::string& path) {
  std::string text;
  if (!ReadRegularFilePrefix(path, kMaxSettingsBytes + 1, text) || text.size() > kMaxSettingsBytes)
    return false;
  return ini.LoadData(text) >= 0;
}

}  // namespace

std::string SettingsPath(const std::string& home) {
  return ResolveFileName(JoinPath(home, "morvik.ini"));
}

StoredSettings ReadSettingsFile(const std::string& path) {
  CSimpleIniA ini;
  if (FileExists(path)) LoadIni(ini, ResolveFileName(path));
  StoredSettings s;
  s.LastFileName = ini.GetValue("Files", "LastFileName", "");
  s.LastRecognizeName = ini.GetValue("Files", "LastRecognizeName", "patterns");
  s.Tally = ini.GetValue("Algorithm", "Tally", "75");
  s.AspectRatioEnable = ReadInteger(ini, "ImageProcessing", "AspectRatioEnable", 1) != 0;
  s.DynamicFileNameSearch = ReadInteger(ini, "Files", "DynamicFileNameSearch", 0) != 0;
  const long ratio = ReadInteger(ini, "ImageProcessing", "AspectRatio", 100);
  s.AspectRatio = static_cast<int>(std::clamp(ratio, 1L, 100L));
  return s;
}

void WriteSettingsFile(const std::string& path, const StoredSettings& s) {
  const std::string file = ResolveFileName(path);
  CSimpleIniA ini;
  ini.SetSpaces(false);
  if (FileExists(file) && !LoadIni(ini, file)) throw Error("Unable to write to " + file);
  if (!s.LastFileName.empty()) ini.SetValue("Files", "LastFileName", s.LastFileName.c_str());
  ini.SetValue("Files", "LastRecognizeName", s.LastRecognizeName.c_str());
  ini.SetValue("Algorithm", "Tally", s.Tally.c_str());
  ini.SetValue("ImageProcessing", "AspectRatioEnable", s.AspectRatioEnable ? "1" : "0");
  ini.SetValue("Files", "DynamicFileNameSearch", s.DynamicFileNameSearch ? "1" : "0");
  ini.SetValue("ImageProcessing", "AspectRatio", std::to_string(s.AspectRatio).c_str());

  std::string text;
  if (ini.Save(text) < 0) throw Error("Unable to write to " + file);
  if (!ReplaceFileContents(file, WithCrLf(text))) throw Error("Unable to write to " + file);
}

}  // namespace morvik
