#include "image/picture_limits.h"

#include "core/error.h"

namespace morvik {

void CheckPictureSize(std::int64_t width, std::int64_t height, const std::string& name) {
  if (width <= 0 || height <= 0)
    throw FileError(name, "picture has no pixels", ErrorKind::kBadData);
  // Sides beyond the cap are refused before their product, which could overflow.
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    throw FileError(name,
                    "picture too large (" + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels); the largest allowed is " + std::to_string(kMaxPictureSide) +
                        " pixels a side and " + std::to_string(kMaxPicturePixels) +
                        " pixels in all",
                    ErrorKind::kTooLarge);
}

}  // namespace morvik
