// The engine's picture reading behind the public API (api/read_adapter.h).
#include "api/read_adapter.h"

#include "image/picture_reader.h"
#include "library/char_filter.h"

namespace morvik {

namespace {

Polarity EnginePolarity(InkPolarity ink) {
  switch (ink) {
    case InkPolarity::kDark:
      return Polarity::DarkOnLight;
    case InkPolarity::kLight:
      return Polarity::LightOnDark;
    default:
      return Polarity::Auto;
  }
}

}  // namespace

void CheckPercent(const std::optional<int>& value, int low, const char* what) {
  if (value && (*value < low || *value > 100))
    throw Error(std::string(what) + " is a percentage from " + std::to_string(low) + " to 100",
                ErrorKind::kUsage);
}

CutOptions EngineCutOptions(const CutSettings& cut) {
  CutOptions o;
  o.Ink = EnginePolarity(cut.Polarity);
  if (cut.Grid && cut.Table) throw Error("a grid and a table go separately", ErrorKind::kUsage);
  if (cut.Table) o.Mode = Layout::Table;
  if (const auto& g = cut.Grid) {
    if (g->Left < 0 || g->Top < 0 || g->CellWidth < 1 || g->CellHeight < 1 || g->Columns < 1 ||
        g->Rows < 1)
      throw Error("a grid's corner is at least 0, its cell size and counts at least 1",
                  ErrorKind::kUsage);
    o.Mode = Layout::Grid;
    o.Grid = GridLayout{g->Left, g->Top, g->CellWidth, g->CellHeight, g->Columns, g->Rows};
  }
  return o;
}

SetSettings EngineOverrides(const SamplingOverrides& s) {
  CheckPercent(s.Threshold, 0, "the threshold");
  CheckPercent(s.Increment, 0, "the increment");
  CheckPercent(s.Tally, 0, "the tally");
  CheckPercent(s.Ratio, 0, "the aspect ratio");
  SetSettings o;
  o.AutoCrop = s.Crop;
  o.Autodetect = s.AutoThreshold;
  o.Threshold = s.Threshold;
  o.Increment = s.Increment;
  o.Tally = s.Tally;
  if (s.Ratio) {  // 0 keeps the proportions, as --ratio off does
    o.AspectRatioEnable = *s.Ratio != 0;
    if (*s.Ratio != 0) o.AspectRatio = s.Ratio;
  }
  return o;
}

ReadOptions EngineReadOptions(const ReadSettings& settings) {
  if (!(settings.Reject >= 0 && settings.Reject <= 1))
    throw Error("the rejection score is from 0 to 1", ErrorKind::kUsage);
  ReadOptions o;
  o.Cut = EngineCutOptions(settings.Cut);
  o.Character.Overrides = EngineOverrides(settings.Sampling);
  o.Reject = settings.Reject;
  o.Progress = settings.Progress;
  o.Threads = settings.Threads;
  if (!settings.Chars.empty()) {
    try {
      o.Character.Filter = ParseCharFilter(settings.Chars);
    } catch (const Error& e) {
      throw Error(std::string("the characters: ") + e.what(), ErrorKind::kUsage);
    }
  }
  return o;
}

namespace {

template <typename Decode>
auto Decoded(Decode decode) -> decltype(decode()) {
  try {
    return decode();
  } catch (const Error& e) {
    if (e.Kind() != ErrorKind::kFailed) throw;
    const std::string message = e.what(), prefix = e.File() + ": ";
    const bool named = !e.File().empty() && message.compare(0, prefix.size(), prefix) == 0;
    throw Error(ErrorKind::kBadData, e.File(), named ? message.substr(prefix.size()) : message);
  }
}

}  // namespace

Bitmap PictureOfFile(const std::string& path) {
  return Decoded([&] { return ReadPictureFile(path); });
}

Bitmap PictureOfBytes(const void* data, std::size_t size, const std::string& name) {
  return Decoded([&] { return DecodePicture(static_cast<const std::uint8_t*>(data), size, name); });
}

Bitmap PictureOfDescriptor(int fd, const std::string& name) {
  return Decoded([&] { return ReadPictureFromStream(fd, name); });
}

DecodedPicture DecodedFile(const std::string& path) {
  return Decoded([&] { return ReadPictureFileKeepingGrey(path); });
}

std::shared_ptr<const PictureCore> PictureCoreOfFile(const std::string& path) {
  DecodedPicture d = DecodedFile(path);
  if (!d.Grey) return std::make_shared<const PictureCore>(std::move(d.Colour));
  return std::make_shared<const PictureCore>(GreyImage{d.Width, d.Height, std::move(d.Greys)});
}

PictureReading ReadWithLibrary(const Bitmap& picture, const LibraryCore& library,
                               const ReadOptions& options) {
  return ReadPicture(picture, library.Sets, options);
}

}  // namespace morvik
