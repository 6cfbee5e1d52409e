// The prepared form of a set inside a packed library: its references as opening a set leaves
// them (normalised and counted, with any earlier passes), its map, settings and detail, in
// fixed-size little-endian fields, so that opening a pack copies them instead of reading
// and preparing each set's files again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

// Appends the prepared set (opened by OpenReferenceSet: prepared) under its name.
void PutPreparedSet(std::string& out, const std::string& name, const ReferenceSet& set);

// Reads prepared sets from the bytes of a pack, front to back; every count, size and field
// is checked before it is used, and a bad one is an Error of kind kBadData naming file.
class PreparedSetReader {
 public:
  PreparedSetReader(const char* data, std::size_t size, const std::string& file)
      : data_(data), size_(size), file_(file) {}
  // The next set, its base name taken against folder, added to sets (built in place: a set
  // is large).
  void ReadSet(const std::string& folder, std::vector<ReferenceSet>& sets);
  bool AtEnd() const { return at_ == size_; }

 private:
  std::uint32_t Number(int bytes);
  const std::uint8_t* Take(std::size_t n);
  [[noreturn]] void Fail(const std::string& problem) const;
  void ReadSettings(SetSettings& settings, const std::string& set);
  using PatternSlots = std::array<TPattern*, kReferenceCount + 1>;  // 1..40
  void ReadPatterns(const PatternSlots& to, const std::string& set);
  void ReadDetail(SetDetail& detail, const std::string& set);

  const char* data_;
  std::size_t size_;
  const std::string& file_;
  std::size_t at_ = 0;
};

}  // namespace morvik
