// The largest picture any reader loads, and the check every reader makes before allocating.
// One cap for all formats, so a picture loads or is refused the same way whatever its file.
#pragma once

#include <cstdint>
#include <string>

namespace morvik {

// A character cut from a screen is a few dozen pixels; a whole A4 page scanned at 600 dpi is
// 4960 x 7016, about 35 million pixels. The cap leaves room for larger scans and panoramic
// strips while bounding a decoded picture at 3 bytes a pixel to 192 MiB.
constexpr std::int64_t kMaxPictureSide = 32768;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{64} << 20;  // 67,108,864

// The largest file a reader takes into memory: a picture at the cap in the most verbose binary
// form (16-bit RGB PNM, 6 bytes a pixel), with room for headers, comments and plain text.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{1} << 30;

// Throws FileError(name, ...) when width x height is empty or beyond the cap. The sizes are
// taken as the file states them, before any allocation.
void CheckPictureSize(std::int64_t width, std::int64_t height, const std::string& name);

}  // namespace morvik
