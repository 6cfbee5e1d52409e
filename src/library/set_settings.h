// The image settings and tally a reference set was learned with, stored beside its
// "<base>.PCP" as "<base>.set.ini", and how they combine with options given for a run.
#pragma once

#include <optional>
#include <string>

#include "core/safe_write.h"
#include "image/image_options.h"

namespace morvik {

// Each setting is either stored (a value) or not (the run keeps its own). Keys of the file,
// all optional, in section [ImageProcessing] unless named otherwise, in the order written:
//   Colour            = white | black   characters brighter or darker than the ground
//   AutoCrop          = 0 | 1           crop every picture to its content
//   Autodetect        = 0 | 1           the analysis sets threshold and increment
//   Threshold         = 0..100          percent
//   Increment         = 0..100          percent
//   AspectRatioEnable = 0 | 1           keep the aspect ratio (AspectRatio) when scaling
//   AspectRatio       = 1..100          percent
//   [Algorithm] Tally = 0..100          matching threshold in percent
// Numbers are decimal; names and values are matched without regard to case. Unknown
// sections and keys are ignored. Every line is empty, a comment (";" or "#" first), a
// "[section]" or a "name=value"; blanks around names and values do not count.
struct SetSettings {
  std::optional<bool> Black;
  std::optional<bool> AutoCrop;
  std::optional<bool> Autodetect;
  std::optional<int> Threshold;
  std::optional<int> Increment;
  std::optional<bool> AspectRatioEnable;
  std::optional<int> AspectRatio;
  std::optional<int> Tally;
};

bool operator==(const SetSettings& a, const SetSettings& b);
inline bool operator!=(const SetSettings& a, const SetSettings& b) {
  return !(a == b);
}
bool IsEmpty(const SetSettings& settings);  // nothing stored

std::string SetSettingsPath(const std::string& base);  // "<base>.set.ini"

// The stored settings; all empty when the file does not exist. Throws Error naming the file
// when it cannot be read; of kind kBadData, naming the line too, for a line of none of those
// forms, a key given twice or a value out of range.
SetSettings LoadSetSettings(const std::string& base);
// The same from the text of such a file; errors name `file`.
SetSettings ParseSetSettings(const std::string& text, const std::string& file);

// Writes every stored setting, CR LF line ends, through a new file renamed into place.
// Settings with nothing stored remove the file instead. Throws Error naming the file when
// it cannot be written or a number lies outside its range (the key named as when reading).
void SaveSetSettings(const std::string& base, const SetSettings& settings);
// The same as one step of a group of files saved together.
void StageSetSettings(ReplacementGroup& group, const std::string& base,
                      const SetSettings& settings);
std::string FormatSetSettings(const SetSettings& settings);

// What a run uses: each setting given explicitly (an option) wins over the stored one.
SetSettings MergeSettings(const SetSettings& stored, const SetSettings& overrides);

// The settings of the image path and the tally as a set records them when it is learned,
// from plain image options and a tally fraction; a tally that is no whole percent is not
// stored.
SetSettings CaptureSetSettings(const ImageOptions& image, double tally);

// The matching threshold of a whole percent, formed as the tally control forms it (in
// extended precision, then rounded once), so that scores agree to the last bit.
double TallyFraction(int percent);

}  // namespace morvik
