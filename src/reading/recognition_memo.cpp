#include "reading/recognition_memo.h"

#include <algorithm>
#include <cstring>

#include "image/same_bytes.h"

namespace morvik {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  h = (h ^ v) * kMultiplier;
  return h ^ (h >> 32);
}

std::uint64_t Word(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// The last n (below 8) bytes of a row as a word, the rest 0.
std::uint64_t TailWord(const std::uint8_t* p, std::size_t n) {
  std::uint64_t w = 0;
  std::memcpy(&w, p, n);
  return w;
}

}  // namespace

RecognitionMemo::Key RecognitionMemo::KeyOf(const GreyImage& grey, const CharBox& box,
                                            std::uint16_t height) {
  // The same clipping as the cut: pixels outside the picture are never read.
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int w = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width) - left;
  const int h = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height) - top;
  Key key{grey.Pixels.data() + static_cast<std::size_t>(top) * grey.Width + left,
          static_cast<std::size_t>(grey.Width),
          static_cast<std::uint32_t>(w),
          static_cast<std::uint32_t>(h),
          height,
          0};
  // Two words hashed side by side, each step waiting on the one before it in its own lane.
  std::uint64_t a = Mix(std::uint64_t{key.Width} << 32 | key.Rows, height), b = ~a;
  const std::size_t n = key.Width;
  for (std::uint32_t y = 0; y < key.Rows; ++y) {
    const std::uint8_t* row = key.Greys + y * key.Stride;
    std::size_t x = 0;
    for (; x + 16 <= n; x += 16) {
      a = Mix(a, Word(row + x));
      b = Mix(b, Word(row + x + 8));
    }
    if (x + 8 <= n) {
      a = Mix(a, Word(row + x));
      x += 8;
    }
    if (x < n) b = Mix(b, TailWord(row + x, n - x));
  }
  key.Hash = Mix(a, b);
  return key;
}

const RecognitionMemo::Reading* RecognitionMemo::Find(const Key& key) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t s = key.Hash & mask;; s = (s + 1) & mask) {
    const std::uint32_t at = slots_[s];
    if (at == 0) return nullptr;
    const Entry& e = entries_[at - 1];
    if (e.Hash != key.Hash || e.Width != key.Width || e.Rows != key.Rows || e.Height != key.Height)
      continue;
    bool same = true;
    for (std::uint32_t y = 0; y < key.Rows && same; ++y)
      same = SameBytes(greys_.data() + e.At + std::size_t{y} * e.Width, key.Greys + y * key.Stride,
                       key.Width);
    if (same) return &e.Known;
  }
}

void RecognitionMemo::Remember(const Key& key, const Reading& reading) {
  const std::size_t bytes = std::size_t{key.Width} * key.Rows;
  // Each entry counted too: a page of many small distinct cuts keeps more readings than greys.
  if (greys_.size() + bytes + (entries_.size() + 1) * sizeof(Entry) > kMostBytes ||
      Find(key) != nullptr)
    return;
  if (2 * (entries_.size() + 1) > slots_.size()) Grow();
  entries_.push_back(Entry{key.Hash, greys_.size(), key.Width, key.Rows, key.Height, reading});
  for (std::uint32_t y = 0; y < key.Rows; ++y) {
    const std::uint8_t* row = key.Greys + y * key.Stride;
    greys_.insert(greys_.end(), row, row + key.Width);
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t s = key.Hash & mask;
  while (slots_[s] != 0) s = (s + 1) & mask;
  slots_[s] = static_cast<std::uint32_t>(entries_.size());
}

void RecognitionMemo::Grow() {
  slots_.assign(std::max<std::size_t>(256, 2 * slots_.size()), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::size_t s = entries_[i].Hash & mask;
    while (slots_[s] != 0) s = (s + 1) & mask;
    slots_[s] = static_cast<std::uint32_t>(i + 1);
  }
}

}  // namespace morvik
