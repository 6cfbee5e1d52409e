#include "library/set_settings.h"

// Set files are 8-bit text: no Unicode conversion (as for the program's settings file).
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <cstring>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

namespace {

constexpr const char* kImage = "ImageProcessing";
constexpr const char* kAlgorithm = "Algorithm";
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

struct FlagKey {
  const char* Section;
  const char* Key;
  std::optional<bool> SetSettings::*Field;
};
struct NumberKey {
  const char* Section;
  const char* Key;
  std::optional<int> SetSettings::*Field;
  int Low, High;
};

// In the order they are written. Colour is a flag with words of its own.
const FlagKey kFlags[] = {{kImage, "AutoCrop", &SetSettings::AutoCrop},
                          {kImage, "Autodetect", &SetSettings::Autodetect},
                          {kImage, "AspectRatioEnable", &SetSettings::AspectRatioEnable}};
const NumberKey kNumbers[] = {{kImage, "Threshold", &SetSettings::Threshold, 0, 100},
                              {kImage, "Increment", &SetSettings::Increment, 0, 100},
                              {kImage, "AspectRatio", &SetSettings::AspectRatio, 1, 100},
                              {kAlgorithm, "Tally", &SetSettings::Tally, 0, 100}};

bool SameIgnoringCase(const char* a, const char* b) {
  return strcasecmp(a, b) == 0;
}

Error BadValue(const std::string& file, const char* section, const char* key, const char* value,
               const std::string& wanted) {
  return FileError(
      file, std::string("[") + section + "] " + key + ": \"" + value + "\" is not " + wanted);
}

// Decimal digits only, held within low..high.
std::optional<int> ParseNumber(const char* text, int low, int high) {
  const std::size_t n = std::strlen(text);
  if (n == 0 || n > 9) return std::nullopt;
  int value = 0;
  for (std::size_t k = 0; k < n; ++k) {
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
    value = value * 10 + (text[k] - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<bool> ParseFlag(const char* text, const char* no, const char* yes) {
  if (SameIgnoringCase(text, no)) return false;
  if (SameIgnoringCase(text, yes)) return true;
  return std::nullopt;
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

}  // namespace

bool operator==(const SetSettings& a, const SetSettings& b) {
  return a.Black == b.Black && a.AutoCrop == b.AutoCrop && a.Autodetect == b.Autodetect &&
         a.Threshold == b.Threshold && a.Increment == b.Increment &&
         a.AspectRatioEnable == b.AspectRatioEnable && a.AspectRatio == b.AspectRatio &&
         a.Tally == b.Tally;
}

bool IsEmpty(const SetSettings& settings) {
  return settings == SetSettings{};
}

std::string SetSettingsPath(const std::string& base) {
  return base + ".set.ini";
}

SetSettings ParseSetSettings(const std::string& text, const std::string& file) {
  CSimpleIniA ini;
  if (ini.LoadData(text.data(), text.size()) < 0) throw FileError(file, "cannot be read");
  SetSettings s;
  if (const char* v = ini.GetValue(kImage, "Colour", nullptr)) {
    s.Black = ParseFlag(v, "white", "black");
    if (!s.Black) throw BadValue(file, kImage, "Colour", v, "white or black");
  }
  for (const FlagKey& f : kFlags) {
    const char* v = ini.GetValue(f.Section, f.Key, nullptr);
    if (!v) continue;
    s.*f.Field = ParseFlag(v, "0", "1");
    if (!(s.*f.Field)) throw BadValue(file, f.Section, f.Key, v, "0 or 1");
  }
  for (const NumberKey& k : kNumbers) {
    const char* v = ini.GetValue(k.Section, k.Key, nullptr);
    if (!v) continue;
    s.*k.Field = ParseNumber(v, k.Low, k.High);
    if (!(s.*k.Field))
      throw BadValue(
          file, k.Section, k.Key, v,
          "a whole number from " + std::to_string(k.Low) + " to " + std::to_string(k.High));
  }
  return s;
}

SetSettings LoadSetSettings(const std::string& base) {
  const std::string path = SetSettingsPath(base);
  const std::optional<std::string> text = ReadSmallFile(path, kMaxSettingsBytes);
  return text ? ParseSetSettings(*text, ResolveFileName(path)) : SetSettings{};
}

std::string FormatSetSettings(const SetSettings& settings) {
  CSimpleIniA ini;
  ini.SetSpaces(false);
  if (settings.Black) ini.SetValue(kImage, "Colour", *settings.Black ? "black" : "white");
  for (const FlagKey& f : kFlags)
    if (settings.*f.Field) ini.SetValue(f.Section, f.Key, *(settings.*f.Field) ? "1" : "0");
  for (const NumberKey& k : kNumbers)
    if (settings.*k.Field)
      ini.SetValue(k.Section, k.Key, std::to_string(*(settings.*k.Field)).c_str());
  std::string text;
  ini.Save(text);
  return WithCrLf(text);
}

void SaveSetSettings(const std::string& base, const SetSettings& settings) {
  const std::string path = ResolveFileName(SetSettingsPath(base));
  if (IsEmpty(settings)) {
    RemoveFileIfPresent(path);
    return;
  }
  // Nothing is written that could not be read back.
  for (const NumberKey& k : kNumbers) {
    const std::optional<int>& v = settings.*k.Field;
    if (v && (*v < k.Low || *v > k.High))
      throw BadValue(
          path, k.Section, k.Key, std::to_string(*v).c_str(),
          "a whole number from " + std::to_string(k.Low) + " to " + std::to_string(k.High));
  }
  if (!ReplaceFileContents(path, FormatSetSettings(settings)))
    throw FileError(path, "cannot be written");
}

SetSettings MergeSettings(const SetSettings& stored, const SetSettings& overrides) {
  SetSettings s = stored;
  if (overrides.Black) s.Black = overrides.Black;
  for (const FlagKey& f : kFlags)
    if (overrides.*f.Field) s.*f.Field = overrides.*f.Field;
  for (const NumberKey& k : kNumbers)
    if (overrides.*k.Field) s.*k.Field = overrides.*k.Field;
  return s;
}

SetSettings CaptureSetSettings(const ImageSettings& image, int tallyPercent) {
  SetSettings s;
  s.Black = image.RadioGroupCol == 1;
  s.AutoCrop = image.CheckBoxCrop;
  s.Autodetect = image.CheckBoxAuto;
  s.Threshold = image.SpinEditTresh();
  s.Increment = image.SpinEditInc();
  s.AspectRatioEnable = image.CheckBoxRatio;
  s.AspectRatio = image.SpinEditRatio();
  s.Tally = tallyPercent;
  return s;
}

void ApplySetSettings(const SetSettings& settings, ImageSettings& image) {
  if (settings.Black) image.RadioGroupCol = *settings.Black ? 1 : 0;
  if (settings.AutoCrop) image.CheckBoxCrop = *settings.AutoCrop;
  if (settings.Autodetect) image.CheckBoxAuto = *settings.Autodetect;
  if (settings.Threshold) image.SetSpinEditTresh(*settings.Threshold);
  if (settings.Increment) image.SetSpinEditInc(*settings.Increment);
  if (settings.AspectRatioEnable) image.CheckBoxRatio = *settings.AspectRatioEnable;
  if (settings.AspectRatio) image.SetSpinEditRatio(*settings.AspectRatio);
}

}  // namespace morvik
