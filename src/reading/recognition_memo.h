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
#include <vector>

#include "library/library_scoring.h"
#include "segment/grey_image.h"
#include "segment/segmentation.h"

namespace morvik {

class RecognitionMemo {
 public:
  using Reading = std::array<LibraryMatch, 3>;

  // At most this many bytes of greys and readings are remembered; past it cuts are read as
  // they come.
  static constexpr std::size_t kMostBytes = std::size_t{32} << 20;

  // The reading of `box` of `grey` (clipped to the picture) at relative height `height`:
  // remembered when the same greys were read at that height before, else `read()`, which is
  // then remembered. Safe to call from several threads (`read` runs outside the lock). The
  // greys are looked up where they lie in the picture: only a cut read for the first time is
  // copied.
  template <typename Read>
  Reading Recall(const GreyImage& grey, const CharBox& box, std::uint16_t height, Read read) {
    const Key key = KeyOf(grey, box, height);
    {
      const std::lock_guard<std::mutex> hold(lock_);
      if (const Reading* known = Find(key)) return *known;
    }
    const Reading r = read();
    const std::lock_guard<std::mutex> hold(lock_);
    Remember(key, r);
    return r;
  }

 private:
  // A box clipped to its picture, its height and a hash of all three and its greys.
  struct Key {
    const std::uint8_t* Greys;  // the box's first grey, rows Stride bytes apart
    std::size_t Stride;
    std::uint32_t Width, Rows;
    std::uint16_t Height;
    std::uint64_t Hash;
  };
  struct Entry {
    std::uint64_t Hash;
    std::size_t At;  // the first of its greys in greys_, Width x Rows of them row by row
    std::uint32_t Width, Rows;
    std::uint16_t Height;
    Reading Known;
  };

  static Key KeyOf(const GreyImage& grey, const CharBox& box, std::uint16_t height);
  // Under the lock.
  const Reading* Find(const Key& key) const;
  void Remember(const Key& key, const Reading& reading);
  void Grow();

  std::mutex lock_;
  std::vector<std::uint8_t> greys_;
  std::vector<Entry> entries_;
  // Open addressing by hash: an entry's index + 1, 0 where empty; a power of two in size, at
  // most half full.
  std::vector<std::uint32_t> slots_;
};

}  // namespace morvik
