// Finer detail of a set's references than their 16 x 16 patterns, stored beside the set as
// "<base>.detail": each reference's ink as a grey grid and the size of its ink box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/pattern_bank.h"
#include "core/safe_write.h"

namespace morvik {

// The grid is kDetailSize x kDetailSize. Measured across typefaces, grids of 8 to 12 cells
// recognise best: finer ones tell typefaces apart rather than characters.
constexpr int kDetailSize = 12;

// One character's detail: its ink box stretched to the grid (0 ground .. 255 ink, rows top to
// bottom), the box's size in pixels, whose proportions the grid no longer shows, and its
// height against the capitals of its line, which tells O from o where the grid cannot.
struct CharacterDetail {
  bool Valid = false;
  std::uint16_t InkWidth = 0, InkHeight = 0;
  // Ink height in thousandths of the line's capital height; 0 where it is not known.
  std::uint16_t Height = 0;
  std::array<std::uint8_t, kDetailSize * kDetailSize> Grid{};
  // Derived by CompleteDetail, so that comparing with many references stays cheap.
  std::int64_t Sum = 0;       // of the grid
  long double InvNorm = 0;    // 1 / sqrt(cells x sum of squares - Sum^2); 0 for a flat grid
  long double LogAspect = 0;  // ln(InkWidth / InkHeight)
  long double LogHeight = 0;  // ln(Height / 1000); 0 where Height is 0
};

// The standard deviation of grey levels below which a grid counts as flat (a solid box).
constexpr std::int64_t kFlatSpread = 8;

// Fills the derived fields from the grid and the ink box; a flat grid gets InvNorm 0.
void CompleteDetail(CharacterDetail& detail);

// The details of references 1..40 (entry 0 unused); a set without the file has none valid.
// They may be read in place from details shared with others (a packed library mapped
// read-only): a set takes a copy of its own only when one is to change.
class SetDetail {
 public:
  using Details = std::array<CharacterDetail, kReferenceCount + 1>;
  SetDetail() = default;
  // Reads the details from `shared`, kept alive by the pointer, and their grids also from
  // `grids` where given (those of references 1..40 one after another).
  explicit SetDetail(std::shared_ptr<const Details> shared,
                     std::shared_ptr<const std::uint8_t> grids = nullptr)
      : Loaded(true), read_(std::move(shared)), grids_(std::move(grids)) {}
  SetDetail(const SetDetail& other);
  SetDetail& operator=(const SetDetail& other);
  SetDetail(SetDetail&&) noexcept = default;
  SetDetail& operator=(SetDetail&&) noexcept = default;
  ~SetDetail();

  // Entry k; an invalid, zero detail where none is held.
  const CharacterDetail& Ref(std::size_t k) const { return read_ ? (*read_)[k] : kNoDetail; }
  // Entry k to change (a copy of the shared ones made first).
  CharacterDetail& Ref(std::size_t k) { return Own()[k]; }
  // Whether the details are still read from shared ones (nothing changed them).
  bool Shares() const { return read_ && !own_; }
  // The grids of references 1..40 one after another (kDetailSize^2 bytes each), the same as
  // theirs, where the set holds them so (a packed set, which the detail shortlist reads as
  // one stream); else null.
  const std::uint8_t* Grids() const { return grids_.get(); }

  bool Loaded = false;

 private:
  static const CharacterDetail kNoDetail;
  Details& Own();
  // A set only read (a library's) writes no 8 KiB of details of its own: none when nothing is
  // held, else what it shares.
  std::shared_ptr<const Details> read_;
  std::shared_ptr<Details> own_;               // read_ points at it once made
  std::shared_ptr<const std::uint8_t> grids_;  // dropped once the details change
};

std::string SetDetailPath(const std::string& base);  // "<base>.detail"

// The file: the 8 bytes "MVDETAIL", a version byte, the grid size, the count 40, then per
// reference a valid byte (0 or 1), ink width and height (16 bits, low byte first), in version 2
// the relative height (16 bits), and the grid. Version 1 files, written before heights were
// kept, read with heights unknown; a set with no height known is written as version 1.
// A missing file gives a SetDetail with Loaded false. Throws Error naming the file when it is
// not a regular file, cannot be read, or is not such a file.
SetDetail LoadSetDetail(const std::string& base);
SetDetail ParseSetDetail(const std::string& bytes, const std::string& file);

// Writes the file, as one step of a group of files saved together, through a new file
// renamed into place; a SetDetail with no valid reference removes it instead. Throws Error
// naming the file when it cannot be written.
void StageSetDetail(ReplacementGroup& group, const std::string& base, const SetDetail& detail);
std::string FormatSetDetail(const SetDetail& detail);

}  // namespace morvik
