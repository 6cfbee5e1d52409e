// The prepared form of a set inside a packed library: its references as opening a set leaves
// them (normalised and counted, with any earlier passes), its map, settings and detail, in
// fixed-size little-endian fields, so that opening a pack copies them instead of reading
// and preparing each set's files again. In the current form the references and details are stored
// as this build lays them out in memory, aligned, so that a mapped pack's sets read them
// in place (the pack records the layout; a pack of another layout is refused).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

// The layout record in a pack's header: the size of a pattern, where its counts lie, how a
// 2-byte number is laid out, the size of a detail, where its fields lie and the precision of
// its long double (kLayoutBytes bytes).
constexpr std::size_t kLayoutBytes = 24;
void PutPatternLayout(std::string& out);
bool IsPatternLayout(const char* record);

// Appends the prepared set (opened by OpenReferenceSet: prepared) under its name in the
// form above; out holds the pack from its first byte (the references are aligned in it).
void PutPreparedSet(std::string& out, const std::string& name, const ReferenceSet& set);

// Reads prepared sets from the bytes of a pack, front to back; every count, size and field
// is checked before it is used, and a bad one is an Error of kind kBadData naming file.
class PreparedSetReader {
 public:
  // The pack's bytes from its first, the sets from start on. Where keep holds them alive
  // (a mapped pack), the sets' references are read in place, else copied.
  PreparedSetReader(const char* data, std::size_t size, std::size_t start, const std::string& file,
                    std::shared_ptr<const char> keep)
      : data_(data), size_(size), file_(file), keep_(std::move(keep)), at_(start) {}
  // The next set, its base name taken against folder, added to sets (built in place: a set
  // is large).
  void ReadSet(const std::string& folder, std::vector<ReferenceSet>& sets);
  bool AtEnd() const { return at_ == size_; }

 private:
  std::uint32_t Number(int bytes);
  const std::uint8_t* Take(std::size_t n);
  [[noreturn]] void Fail(const std::string& problem) const;
  void ReadSettings(SetSettings& settings, const std::string& set);
  void TakePadding(std::size_t align, const std::string& set);
  const std::uint8_t* TakeImages(const std::string& set);
  void ReadBank(TPatternBank& bank, const std::string& set);
  void ReadDetail(SetDetail& detail, const std::string& set);

  const char* data_;
  std::size_t size_;
  const std::string& file_;
  std::shared_ptr<const char> keep_;
  std::size_t at_;
};

}  // namespace morvik
