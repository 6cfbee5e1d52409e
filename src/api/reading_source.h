// What a public Reading keeps for the renderers: the engine's reading and the library it was
// read with (set names and maps), shared and never changed; and what a public Picture holds.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "api/library_core.h"
#include "image/bitmap.h"
#include "morvik/reading.h"
#include "reading/read_picture.h"
#include "segment/grey_image.h"

namespace morvik {

struct ReadingSource {
  PictureReading Engine;
  std::shared_ptr<const LibraryCore> Library;
};

// A public Picture's pixels: the colour raster as decoded, or a grey file's greys as decoded
// (reading needs no more), its colour raster then made once, on first need (by any thread).
struct PictureCore {
 public:
  explicit PictureCore(Bitmap pixels)
      : width_(pixels.Width()), height_(pixels.Height()), pixels_(std::move(pixels)) {}
  explicit PictureCore(GreyImage grey)
      : width_(grey.Width), height_(grey.Height), grey_(std::move(grey)) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  const Bitmap& Pixels() const;
  // The greys where the picture was decoded straight to grey, else null.
  const GreyImage* Grey() const { return grey_ ? &*grey_ : nullptr; }

 private:
  int width_, height_;
  std::optional<GreyImage> grey_;
  mutable std::once_flag made_;
  mutable Bitmap pixels_;
};

// Reads decoded pixels; an error of the reading names `name`. Throws Error kUsage for bad
// settings before any reading.
Reading ReadBitmap(const Bitmap& picture, const Library& library, const ReadSettings& settings,
                   const std::string& name);
// The same for a public Picture's pixels.
Reading ReadPictureCore(const PictureCore& picture, const Library& library,
                        const ReadSettings& settings, const std::string& name);

}  // namespace morvik
