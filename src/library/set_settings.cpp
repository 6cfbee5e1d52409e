#include "library/set_settings.h"

// Set files are 8-bit text: no Unicode conversion (as for the program's settings file).
#define SI_NO_CONVERSION
// Header only, as for the settings file: the library would load ICU at every start.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <strings.h>

#include <cmath>
#include <cstring>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

namespace {

constexpr const char* kImage = "ImageProcessing";
constexpr const char* kAlgorithm = "Algorithm";

// A key of the file: a flag written as one of two words, or a number within a range.
struct Key {
  const char* Section;
  const char* Name;
  std::optional<bool> SetSettings::*Flag;
  std::optional<int> SetSettings::*Number;
  const char* No;  // a flag's words for false and true
  const char* Yes;
  int Low, High;  // a number's range
};

// In the order they are written.
const Key kKeys[] = {
    {kImage, "Colour", &SetSettings::Black, nullptr, "white", "black", 0, 0},
    {kImage, "AutoCrop", &SetSettings::AutoCrop, nullptr, "0", "1", 0, 0},
    {kImage, "Autodetect", &SetSettings::Autodetect, nullptr, "0", "1", 0, 0},
    {kImage, "Threshold", nullptr, &SetSettings::Threshold, nullptr, nullptr, 0, 100},
    {kImage, "Increment", nullptr, &SetSettings::Increment, nullptr, nullptr, 0, 100},
    {kImage, "AspectRatioEnable", &SetSettings::AspectRatioEnable, nullptr, "0", "1", 0, 0},
    {kImage, "AspectRatio", nullptr, &SetSettings::AspectRatio, nullptr, nullptr, 1, 100},
    {kAlgorithm, "Tally", nullptr, &SetSettings::Tally, nullptr, nullptr, 0, 100},
};

bool SameIgnoringCase(const char* a, const char* b) {
  return strcasecmp(a, b) == 0;
}

std::string Wanted(const Key& key) {
  if (key.Flag) return std::string(key.No) + " or " + key.Yes;
  return "a whole number from " + std::to_string(key.Low) + " to " + std::to_string(key.High);
}

Error BadValue(const std::string& file, const Key& key, const std::string& value) {
  return FileError(file, std::string("[") + key.Section + "] " + key.Name + ": \"" + value +
                             "\" is not " + Wanted(key));
}

bool Stored(const SetSettings& s, const Key& key) {
  return key.Flag ? (s.*key.Flag).has_value() : (s.*key.Number).has_value();
}

std::string ValueText(const SetSettings& s, const Key& key) {
  if (key.Flag) return *(s.*key.Flag) ? key.Yes : key.No;
  return std::to_string(*(s.*key.Number));
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
  for (const Key& key : kKeys) {
    const char* v = ini.GetValue(key.Section, key.Name, nullptr);
    if (!v) continue;
    if (key.Flag) {
      s.*key.Flag = ParseFlag(v, key.No, key.Yes);
      if (!(s.*key.Flag)) throw BadValue(file, key, v);
    } else {
      s.*key.Number = ParseNumber(v, key.Low, key.High);
      if (!(s.*key.Number)) throw BadValue(file, key, v);
    }
  }
  return s;
}

SetSettings LoadSetSettings(const std::string& base) {
  const std::string path = SetSettingsPath(base);
  const std::optional<std::string> text = ReadSmallFile(path, kMaxSetFileBytes);
  return text ? ParseSetSettings(*text, ResolveFileName(path)) : SetSettings{};
}

std::string FormatSetSettings(const SetSettings& settings) {
  std::string text;
  const char* section = nullptr;
  for (const Key& key : kKeys) {
    if (!Stored(settings, key)) continue;
    if (section != key.Section) {
      if (section) text += "\r\n";
      text += std::string("[") + key.Section + "]\r\n";
      section = key.Section;
    }
    text += std::string(key.Name) + "=" + ValueText(settings, key) + "\r\n";
  }
  return text;
}

void SaveSetSettings(const std::string& base, const SetSettings& settings) {
  ReplacementGroup group;
  StageSetSettings(group, base, settings);
  group.Commit();
}

void StageSetSettings(ReplacementGroup& group, const std::string& base,
                      const SetSettings& settings) {
  const std::string path = ResolveFileName(SetSettingsPath(base));
  if (IsEmpty(settings)) {
    group.Remove(path);
    return;
  }
  // Nothing is written that could not be read back.
  for (const Key& key : kKeys)
    if (key.Number && settings.*key.Number &&
        !ParseNumber(ValueText(settings, key).c_str(), key.Low, key.High))
      throw BadValue(path, key, ValueText(settings, key));
  group.Replace(path, FormatSetSettings(settings));
}

SetSettings MergeSettings(const SetSettings& stored, const SetSettings& overrides) {
  SetSettings s = stored;
  for (const Key& key : kKeys) {
    if (key.Flag && overrides.*key.Flag) s.*key.Flag = overrides.*key.Flag;
    if (key.Number && overrides.*key.Number) s.*key.Number = overrides.*key.Number;
  }
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

SetSettings CaptureSetSettings(const ImageOptions& image, double tally) {
  SetSettings s;
  s.Black = image.BlackCharacters;
  s.AutoCrop = image.Crop;
  s.Autodetect = image.AutoThreshold;
  s.Threshold = image.Threshold;
  s.Increment = image.Increment;
  s.AspectRatioEnable = image.FixedRatio;
  s.AspectRatio = image.Ratio;
  const long double percent = std::nearbyint(static_cast<long double>(tally) * 100.0L);
  if (percent >= 0 && percent <= 100 && TallyFraction(static_cast<int>(percent)) == tally)
    s.Tally = static_cast<int>(percent);
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

double TallyFraction(int percent) {
  return static_cast<double>(static_cast<long double>(percent) / 100.0L);
}

}  // namespace morvik
