// The readings of the character cuts of one picture, remembered by the greys they were cut
// from: a typeset page repeats the same glyph images (a renderer places glyphs from its cache,
// and the word search reads each word's pieces again), and recognising a cut is the costliest
// step of reading. A cut is recognised from its box's greys and its height against the line
// alone, so the same greys at the same height read the same: answers are unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "library/library_scoring.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

class RecognitionMemo {
 public:
  using Reading = std::array<LibraryMatch, 3>;

  // At most this many bytes of greys are remembered; past it cuts are read as they come.
  static constexpr std::size_t kMostBytes = std::size_t{32} << 20;

  // The reading of `box` of `grey` (clipped to the picture) at relative height `height`:
  // remembered when the same greys were read at that height before, else `read()`, which is
  // then remembered. Safe to call from several threads (`read` runs outside the lock).
  template <typename Read>
  Reading Recall(const GreyImage& grey, const CharBox& box, std::uint16_t height, Read read) {
    std::string key = KeyOf(grey, box, height);
    {
      const std::lock_guard<std::mutex> hold(lock_);
      const auto found = known_.find(key);
      if (found != known_.end()) return found->second;
    }
    const Reading r = read();
    const std::lock_guard<std::mutex> hold(lock_);
    if (bytes_ + key.size() <= kMostBytes) {
      bytes_ += key.size();
      known_.emplace(std::move(key), r);
    }
    return r;
  }

 private:
  // The clipped box's size, the height and its greys row by row.
  static std::string KeyOf(const GreyImage& grey, const CharBox& box, std::uint16_t height);

  std::mutex lock_;
  std::unordered_map<std::string, Reading> known_;
  std::size_t bytes_ = 0;
};

}  // namespace morvik
