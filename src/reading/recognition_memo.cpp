#include "reading/recognition_memo.h"

#include <algorithm>

namespace morvik {

std::string RecognitionMemo::KeyOf(const GreyImage& grey, const CharBox& box,
                                   std::uint16_t height) {
  // The same clipping as the cut: pixels outside the picture are never read.
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int w = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width) - left;
  const int h = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height) - top;
  const std::uint32_t head[] = {static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                                height};
  std::string key(reinterpret_cast<const char*>(head), sizeof head);
  key.reserve(sizeof head + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = top; y < top + h; ++y) {
    const char* row = reinterpret_cast<const char*>(grey.Pixels.data()) +
                      static_cast<std::size_t>(y) * grey.Width;
    key.append(row + left, static_cast<std::size_t>(w));
  }
  return key;
}

}  // namespace morvik
