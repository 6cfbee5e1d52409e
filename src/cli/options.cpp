#include "cli/options.h"

#include <algorithm>

#include "cli/usage.h"
#include "morvik/chars.h"

namespace morvik {

namespace {

struct SharedOption {
  SharedOptionId Id;
  const char* Name;
  const char* Value;  // nullptr: a flag
  const char* Help;   // nullptr: each route says what it means there
};

const SharedOption kShared[] = {
    {kOptHelp, "help", nullptr, "show this text"},
    {kOptTally, "tally", "N", "matching threshold in percent, 0..100"},
    {kOptThreshold, "threshold", "N", "threshold in percent, 0..100"},
    {kOptIncrement, "increment", "N", "increment in percent, 0..100"},
    {kOptRatio, "ratio", "N|off", "aspect ratio in percent, 1..100, or keep the proportions"},
    {kOptCrop, "crop", nullptr, "crop each picture to its content"},
    {kOptNoCrop, "no-crop", nullptr, nullptr},
    {kOptNoAuto, "no-auto", nullptr, "keep threshold and increment instead of detecting them"},
    {kOptBlack, "black", nullptr, "the characters are black (the picture is inverted)"},
    {kOptSet, "set", "BASE", nullptr},
    {kOptCharmap, "charmap", "FILE", nullptr},
    {kOptChars, "chars", "CHARS", nullptr},
    {kOptSave, "save", "BASE", nullptr},
    {kOptJobs, "jobs", "N", nullptr},
};

const SharedOption& Find(SharedOptionId id) {
  return *std::find_if(std::begin(kShared), std::end(kShared),
                       [id](const SharedOption& o) { return o.Id == id; });
}

// A name a set or file must have: "" would name the start folder itself.
std::string Named(const char* option, const char* what, const std::string& value) {
  if (value.empty())
    throw UsageError{std::string("--") + option + " needs the name of " + what + ", not \"\""};
  return value;
}

int Percent(SharedOptionId id, const std::string& value, long low) {
  return ParseWholeOption(std::string("--") + Find(id).Name, value, low, 100);
}

}  // namespace

std::vector<option> OptionTable(std::initializer_list<option> own,
                                std::initializer_list<SharedOptionId> shared) {
  std::vector<option> table(own);
  for (const SharedOptionId id : shared) {
    const SharedOption& o = Find(id);
    table.push_back({o.Name, o.Value ? required_argument : no_argument, nullptr, o.Id});
  }
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

bool ApplySharedOption(SharedValues& v, int id, const std::string& value) {
  SamplingOverrides& s = v.Sampling;
  switch (id) {
    case kOptHelp:
      v.Help = true;
      break;
    case kOptTally:
      s.Tally = Percent(kOptTally, value, 0);
      break;
    case kOptThreshold:
      s.Threshold = Percent(kOptThreshold, value, 0);
      break;
    case kOptIncrement:
      s.Increment = Percent(kOptIncrement, value, 0);
      break;
    case kOptRatio:  // 0 keeps the proportions
      s.Ratio = value == "off" ? 0 : Percent(kOptRatio, value, 1);
      break;
    case kOptCrop:
    case kOptNoCrop:
      s.Crop = id == kOptCrop;
      break;
    case kOptNoAuto:
      s.AutoThreshold = false;
      break;
    case kOptBlack:
      v.Black = true;
      break;
    case kOptSet:
      v.Sets.push_back(Named("set", "a set", value));
      break;
    case kOptCharmap:
      v.Charmap = Named("charmap", "a file", value);
      break;
    case kOptChars:
      v.Chars = value;
      break;
    case kOptSave:
      v.Save = value;
      break;
    case kOptJobs:
      v.Jobs = static_cast<unsigned>(ParseWholeOption("--jobs", value, 1, 1024));
      break;
    default:
      return false;
  }
  return true;
}

std::string SharedHelp(std::initializer_list<SharedOptionId> shared) {
  std::string text;
  for (const SharedOptionId id : shared) {
    const SharedOption& o = Find(id);
    if (!o.Help) continue;
    std::string left = std::string("  --") + o.Name + (o.Value ? std::string(" ") + o.Value : "");
    left.resize(std::max<std::size_t>(left.size() + 1, 21), ' ');
    text += left + o.Help + "\n";
  }
  return text;
}

void CheckCharsOption(const std::optional<std::string>& chars, CharsUse use) {
  if (!chars) return;
  try {
    if (use == CharsUse::kAnswer) CheckAnswerChars(*chars);
    if (use == CharsUse::kLearnPicture) CheckLearnChars(*chars);
    if (use == CharsUse::kFont) ParseCharList(*chars);
  } catch (const Error& e) {
    throw UsageError{std::string("--chars: ") + e.what()};
  }
}

}  // namespace morvik
