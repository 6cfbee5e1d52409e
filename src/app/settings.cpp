#include "app/settings.h"

// Settings are 8-bit text: no Unicode conversion.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <algorithm>

#include "core/error.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/safe_write.h"

namespace morvik {

namespace {

// Far more than the few keys the program writes.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

long ReadInteger(const CSimpleIniA& ini, const char* section, const char* key, long fallback) {
  const char* text = ini.GetValue(section, key, nullptr);
  long value = 0;
  return text && ParseControlInteger(text, value) ? value : fallback;
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

std::string SettingsPath(const Workspace& ws) {
  return ResolveFileName(JoinPath(ws.HomeFolder(), "morvik.ini"));
}

void ReadSettings(Workspace& ws, const std::string& path) {
  CSimpleIniA ini;
  if (FileExists(path)) LoadIni(ini, ResolveFileName(path));
  if (ws.EditOpenFile().empty()) ws.SetEditOpenFile(ini.GetValue("Files", "LastFileName", ""));
  ws.EditPatternsBatch = ini.GetValue("Files", "LastRecognizeName", "patterns");
  ws.SetEditTally(ini.GetValue("Algorithm", "Tally", "75"));
  ws.Image.Settings.CheckBoxRatio =
      ReadInteger(ini, "ImageProcessing", "AspectRatioEnable", 1) != 0;
  ws.CheckBoxDynamic = ReadInteger(ini, "Files", "DynamicFileNameSearch", 0) != 0;
  const long ratio = ReadInteger(ini, "ImageProcessing", "AspectRatio", 100);
  ws.Image.Settings.SetSpinEditRatio(static_cast<int>(std::clamp(ratio, 1L, 100L)));
}

void WriteSettings(const Workspace& ws, const std::string& path) {
  const std::string file = ResolveFileName(path);
  CSimpleIniA ini;
  ini.SetSpaces(false);
  if (FileExists(file) && !LoadIni(ini, file)) throw Error("Unable to write to " + file);
  if (!ws.CurrentSetName.empty())
    ini.SetValue("Files", "LastFileName", ws.MakeRelativeToExe(ws.CurrentSetName).c_str());
  ini.SetValue("Files", "LastRecognizeName", ws.EditPatternsBatch.c_str());
  ini.SetValue("Algorithm", "Tally", ws.EditTally().c_str());
  ini.SetValue("ImageProcessing", "AspectRatioEnable", ws.Image.Settings.CheckBoxRatio ? "1" : "0");
  ini.SetValue("Files", "DynamicFileNameSearch", ws.CheckBoxDynamic ? "1" : "0");
  ini.SetValue("ImageProcessing", "AspectRatio",
               std::to_string(ws.Image.Settings.SpinEditRatio()).c_str());

  std::string text;
  if (ini.Save(text) < 0) throw Error("Unable to write to " + file);
  if (!ReplaceFileContents(file, WithCrLf(text))) throw Error("Unable to write to " + file);
}

std::string FormCreate(Workspace& ws) {
  ReadSettings(ws, SettingsPath(ws));
  if (!ws.CurrentSetName.empty() && FileExists(ws.SetFile(ws.CurrentSetName, ".PCP")))
    ws.OpenPatternSet(ws.CurrentSetName);
  return LoadCharMap(ws.Resolve("charmap.txt"), ws.Chars);
}

}  // namespace morvik
