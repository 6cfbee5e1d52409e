#include "library/set_settings.h"

#include <strings.h>

#include <cmath>
#include <cstring>
#include <map>
#include <utility>

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

std::string KeyName(const Key& key) {
  return std::string("[") + key.Section + "] " + key.Name;
}

// where: "line N: " when reading a file, empty when checking what is to be written.
Error BadValue(const std::string& file, const std::string& where, const Key& key,
               const std::string& value) {
  return FileError(file, where + KeyName(key) + ": \"" + value + "\" is not " + Wanted(key),
                   ErrorKind::kBadData);
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

namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

const Key* FindKey(const std::string& section, const std::string& name) {
  for (const Key& key : kKeys)
    if (SameIgnoringCase(section.c_str(), key.Section) && SameIgnoringCase(name.c_str(), key.Name))
      return &key;
  return nullptr;
}

// One "name=value" line: a known key is parsed into s, once; others are left for later
// versions of the file.
void ParseSetting(const std::string& section, const std::string& entry, const std::string& file,
                  int line, std::map<const Key*, int>& seen, SetSettings& s) {
  const std::size_t equals = entry.find('=');
  const Key* key = FindKey(section, Trimmed(entry.substr(0, equals)));
  if (!key) return;
  const std::string where = "line " + std::to_string(line) + ": ";
  if (const auto [at, fresh] = seen.emplace(key, line); !fresh)
    throw FileError(
        file, where + KeyName(*key) + " is set on line " + std::to_string(at->second) + " already",
        ErrorKind::kBadData);
  const std::string value = Trimmed(entry.substr(equals + 1));
  if (key->Flag) {
    s.*key->Flag = ParseFlag(value.c_str(), key->No, key->Yes);
    if (!(s.*key->Flag)) throw BadValue(file, where, *key, value);
  } else {
    s.*key->Number = ParseNumber(value.c_str(), key->Low, key->High);
    if (!(s.*key->Number)) throw BadValue(file, where, *key, value);
  }
}

}  // namespace

SetSettings ParseSetSettings(const std::string& text, const std::string& file) {
  SetSettings s;
  std::string section;
  std::map<const Key*, int> seen;  // the line of each key read
  const std::vector<std::string> lines = TextLines(text);
  for (int line = 1; line <= static_cast<int>(lines.size()); ++line) {
    const std::string trimmed = Trimmed(lines[static_cast<std::size_t>(line) - 1]);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed[0] == '[' && trimmed.back() == ']') {
      section = Trimmed(trimmed.substr(1, trimmed.size() - 2));
    } else if (trimmed.find('=') != std::string::npos && trimmed[0] != '=') {
      ParseSetting(section, trimmed, file, line, seen, s);
    } else {
      throw FileError(file,
                      "line " + std::to_string(line) +
                          ": neither a [section], a name=value "
                          "setting nor a ; comment",
                      ErrorKind::kBadData);
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
      throw BadValue(path, "", key, ValueText(settings, key));
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

double TallyFraction(int percent) {
  return static_cast<double>(static_cast<long double>(percent) / 100.0L);
}

}  // namespace morvik
