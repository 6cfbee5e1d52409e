#include "form/form_settings.h"

#include "core/file_names.h"
#include "session/settings_file.h"

namespace morvik {

std::string SettingsPath(const Workspace& ws) {
  return SettingsPath(ws.HomeFolder());
}

void ReadSettings(Workspace& ws, const std::string& path) {
  const StoredSettings s = ReadSettingsFile(path);
  if (ws.EditOpenFile().empty()) ws.SetEditOpenFile(s.LastFileName);
  ws.EditPatternsBatch = s.LastRecognizeName;
  ws.SetEditTally(s.Tally);
  ws.Image.Settings.CheckBoxRatio = s.AspectRatioEnable;
  ws.CheckBoxDynamic = s.DynamicFileNameSearch;
  ws.Image.Settings.SetSpinEditRatio(s.AspectRatio);
}

void WriteSettings(const Workspace& ws, const std::string& path) {
  StoredSettings s;
  if (!ws.CurrentSetName.empty()) s.LastFileName = ws.MakeRelativeToExe(ws.CurrentSetName);
  s.LastRecognizeName = ws.EditPatternsBatch;
  s.Tally = ws.EditTally();
  s.AspectRatioEnable = ws.Image.Settings.CheckBoxRatio;
  s.DynamicFileNameSearch = ws.CheckBoxDynamic;
  s.AspectRatio = ws.Image.Settings.SpinEditRatio();
  WriteSettingsFile(path, s);
}

std::string FormCreate(Workspace& ws) {
  ReadSettings(ws, SettingsPath(ws));
  if (!ws.CurrentSetName.empty() && FileExists(ws.SetFile(ws.CurrentSetName, ".PCP")))
    ws.OpenPatternSet(ws.CurrentSetName);
  return LoadCharMap(ws.Resolve("charmap.txt"), ws.Chars);
}

void FormClose(const Workspace& ws) {
  WriteSettings(ws, SettingsPath(ws));
}

}  // namespace morvik
