// Pictures decoded once for reading, learning, cutting and drawing (morvik/picture.h).
#include "morvik/picture.h"

#include "api/read_adapter.h"
#include "api/reading_source.h"
#include "image/png_writer.h"
#include "learning/cut_folder.h"
#include "segment/draw_boxes.h"
#include "segment/grey_image.h"

namespace morvik {

namespace {

const PictureReading& EngineOf(const Reading& reading) {
  if (!reading.Source)
    throw Error("a reading made by the reading calls is needed", ErrorKind::kUsage);
  return reading.Source->Engine;
}

}  // namespace

const Bitmap& PictureCore::Pixels() const {
  if (grey_) std::call_once(made_, [&] { pixels_ = ToBitmap(*grey_); });
  return pixels_;
}

static_assert(kDefaultCutLimit == kDefaultCutFileLimit);

Picture Picture::FromFile(const std::string& path) {
  return Picture(PictureCoreOfFile(path));
}

Picture Picture::FromMemory(const void* data, std::size_t size, const std::string& name) {
  return Picture(std::make_shared<const PictureCore>(PictureOfBytes(data, size, name)));
}

Picture Picture::FromDescriptor(int fd, const std::string& name) {
  return Picture(std::make_shared<const PictureCore>(PictureOfDescriptor(fd, name)));
}

int Picture::Width() const {
  return core_->Width();
}

int Picture::Height() const {
  return core_->Height();
}

Reading ReadPicture(const Picture& picture, const Library& library, const ReadSettings& settings,
                    const std::string& name) {
  return ReadPictureCore(*picture.Core(), library, settings, name);
}

std::size_t CutFileCount(const Reading& reading) {
  return CutFileCount(EngineOf(reading));
}

void WriteCut(const Picture& picture, const Reading& reading, const std::string& folder) {
  WriteCutFolder(picture.Core()->Pixels(), EngineOf(reading), folder);
}

void WriteBoxes(const Picture& picture, const Reading& reading, const std::string& pngFile) {
  WritePngFile(pngFile, DrawBoxes(ToGreyImage(picture.Core()->Pixels()), EngineOf(reading).Cut));
}

void WriteBoxes(const Picture& picture, const CutSettings& cut, const std::string& pngFile) {
  const GreyImage grey = ToGreyImage(picture.Core()->Pixels());
  WritePngFile(pngFile, DrawBoxes(grey, CutPicture(grey, EngineCutOptions(cut))));
}

}  // namespace morvik
