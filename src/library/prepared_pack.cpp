#include "library/prepared_pack.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

#include "core/error.h"
#include "core/file_names.h"
#include "core/normalize.h"
#include "library/pack_blocks.h"

namespace morvik {

namespace {

// A set: its name (2-byte length, bytes); a byte of flags (kHasMap, kHasDetail); the eight
// settings, a byte each (kNone when not stored); the map's 41 entries where it has one; the
// references 1..40; the count of earlier passes (a byte) and their references; where it has
// detail, the details of entries 0..40. A pattern is its image, the bytes of a TPattern (its
// padding zero), and the references 1..40 start at a multiple of kImageAlign from the pack's
// first byte, zero bytes before them. A detail is likewise the bytes of a CharacterDetail,
// derived numbers included (so that opening reads them in place instead of copying 8 KiB a
// set), its padding zero, the 41 from a multiple of kDetailAlign; entry 0 is empty. The
// grids of references 1..40 follow once more, one after another: the detail shortlist reads
// them as one stream, which its products take faster than grids spread a detail apart.
constexpr std::uint8_t kHasMap = 1, kHasDetail = 2;
constexpr std::uint8_t kNone = 0xFF;
constexpr std::size_t kCellBytes = sizeof(TPattern::Cells);
constexpr std::size_t kGridBytes = kDetailSize * kDetailSize;
constexpr std::size_t kImageBytes = sizeof(TPattern), kImageAlign = 8;
constexpr std::size_t kDetailImageBytes = sizeof(CharacterDetail);
constexpr std::size_t kDetailAlign = alignof(CharacterDetail);
constexpr std::size_t kDetailCount = kReferenceCount + 1;
// The bytes of a long double that hold its value: the x87 extended number leaves the rest of
// its 16 unset.
constexpr std::size_t kLongDoubleBytes =
    std::numeric_limits<long double>::digits == 64 ? 10 : sizeof(long double);
static_assert(std::is_trivially_copyable<CharacterDetail>::value &&
                  std::is_standard_layout<CharacterDetail>::value &&
                  sizeof(SetDetail::Details) == kDetailCount * kDetailImageBytes &&
                  sizeof(bool) == 1 && kLongDoubleBytes <= sizeof(long double),
              "a set's details are read in place as an array of their images");
static_assert(std::is_trivially_copyable<TPattern>::value &&
                  std::is_standard_layout<TPattern>::value && alignof(TPattern) <= kImageAlign &&
                  offsetof(TPattern, MaxLevel) == kCellBytes &&
                  offsetof(TPattern, StoredCounts) == kCellBytes + 1,
              "a pattern's image is its cells, largest level and stored counts, then its counts");
static_assert(sizeof(TPatternCell) == 2 && kCellBytes == kPackCellBytes &&
                  kGridBytes == kPackGridBytes,
              "cells and grids are copied and checked as bytes");

void PutNumber(std::string& s, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s += static_cast<char>((v >> (8 * k)) & 0xFF);
}

void PutPadding(std::string& s, std::size_t align) {
  s.append((align - s.size() % align) % align, '\0');
}

template <typename T>
std::uint8_t SettingByte(const std::optional<T>& value) {
  return value ? static_cast<std::uint8_t>(*value) : kNone;
}

// The pattern as this build lays it out, its padding zero (a pack's bytes depend on nothing
// but its sets).
void PutImage(std::string& s, const TPattern& p) {
  char image[kImageBytes] = {};
  std::memcpy(image, p.Cells.data(), kCellBytes);
  image[kCellBytes] = static_cast<char>(p.MaxLevel);
  std::memcpy(image + kCellBytes + 1, p.StoredCounts.data(), 4);
  std::memcpy(image + offsetof(TPattern, ColCount), &p.ColCount, sizeof p.ColCount);
  std::memcpy(image + offsetof(TPattern, RowCount), &p.RowCount, sizeof p.RowCount);
  s.append(image, kImageBytes);
}

// References 1..40 (reference(k)) as images, aligned.
template <typename Reference>
void PutImages(std::string& s, const Reference& reference) {
  PutPadding(s, kImageAlign);
  for (int k = 1; k <= kReferenceCount; ++k) PutImage(s, reference(k));
}

// The detail as this build lays it out, field by field, its padding zero.
void PutDetailImage(std::string& s, const CharacterDetail& d) {
  char image[kDetailImageBytes] = {};
  image[offsetof(CharacterDetail, Valid)] = d.Valid ? 1 : 0;
  const auto put = [&](std::size_t at, const void* field, std::size_t bytes) {
    std::memcpy(image + at, field, bytes);
  };
  put(offsetof(CharacterDetail, InkWidth), &d.InkWidth, sizeof d.InkWidth);
  put(offsetof(CharacterDetail, InkHeight), &d.InkHeight, sizeof d.InkHeight);
  put(offsetof(CharacterDetail, Height), &d.Height, sizeof d.Height);
  put(offsetof(CharacterDetail, Grid), d.Grid.data(), kGridBytes);
  put(offsetof(CharacterDetail, Sum), &d.Sum, sizeof d.Sum);
  put(offsetof(CharacterDetail, InvNorm), &d.InvNorm, kLongDoubleBytes);
  put(offsetof(CharacterDetail, LogAspect), &d.LogAspect, kLongDoubleBytes);
  put(offsetof(CharacterDetail, LogHeight), &d.LogHeight, kLongDoubleBytes);
  s.append(image, kDetailImageBytes);
}

// A number a detail's derivation can give: finite and within the bounds of its kind.
bool Within(long double v, long double low, long double high) {
  return v >= low && v <= high;  // false for NaN
}

// Whether the image of a detail holds one reading can take: the valid byte 0 or 1; a valid
// detail with an ink box, the Sum of its grid and derived numbers finite and within the bounds
// their derivation gives (1 / the root of a whole number, the logarithms of ratios of 16-bit
// numbers); an invalid one with nothing derived.
bool DetailImageSound(const std::uint8_t* image) {
  const std::uint8_t valid = image[offsetof(CharacterDetail, Valid)];
  if (valid > 1) return false;
  std::uint16_t width = 0, height = 0;
  std::int64_t sum = 0;
  long double invNorm = 0, logAspect = 0, logHeight = 0;
  std::memcpy(&width, image + offsetof(CharacterDetail, InkWidth), sizeof width);
  std::memcpy(&height, image + offsetof(CharacterDetail, InkHeight), sizeof height);
  std::memcpy(&sum, image + offsetof(CharacterDetail, Sum), sizeof sum);
  std::memcpy(&invNorm, image + offsetof(CharacterDetail, InvNorm), kLongDoubleBytes);
  std::memcpy(&logAspect, image + offsetof(CharacterDetail, LogAspect), kLongDoubleBytes);
  std::memcpy(&logHeight, image + offsetof(CharacterDetail, LogHeight), kLongDoubleBytes);
  if (valid == 0) return sum == 0 && invNorm == 0 && logAspect == 0 && logHeight == 0;
  return width != 0 && height != 0 && sum == GridSum(image + offsetof(CharacterDetail, Grid)) &&
         Within(invNorm, 0, 1) && Within(logAspect, -12, 12) && Within(logHeight, -12, 12);
}

std::string PatternLayout() {
  std::string record;
  const std::uint16_t probe = 0x0102;
  for (const std::size_t n :
       {kImageBytes, offsetof(TPattern, ColCount), offsetof(TPattern, RowCount)})
    PutNumber(record, static_cast<std::uint32_t>(n), 2);
  record.append(reinterpret_cast<const char*>(&probe), sizeof probe);
  for (const std::size_t n :
       {kDetailImageBytes, offsetof(CharacterDetail, InkWidth), offsetof(CharacterDetail, Height),
        offsetof(CharacterDetail, Grid), offsetof(CharacterDetail, Sum),
        offsetof(CharacterDetail, InvNorm), offsetof(CharacterDetail, LogHeight),
        static_cast<std::size_t>(std::numeric_limits<long double>::digits)})
    PutNumber(record, static_cast<std::uint32_t>(n), 2);
  return record;
}

}  // namespace

void PutPatternLayout(std::string& out) {
  out += PatternLayout();
}

bool IsPatternLayout(const char* record) {
  return PatternLayout().compare(0, kLayoutBytes, record, kLayoutBytes) == 0;
}

void PutPreparedSet(std::string& out, const std::string& name, const ReferenceSet& set) {
  PutNumber(out, static_cast<std::uint32_t>(name.size()), 2);
  out += name;
  out += static_cast<char>((set.Chars.CharMapLoaded ? kHasMap : 0) |
                           (set.Detail.Loaded ? kHasDetail : 0));
  const SetSettings& s = set.Settings;
  for (const std::uint8_t b :
       {SettingByte(s.Black), SettingByte(s.AutoCrop), SettingByte(s.Autodetect),
        SettingByte(s.Threshold), SettingByte(s.Increment), SettingByte(s.AspectRatioEnable),
        SettingByte(s.AspectRatio), SettingByte(s.Tally)})
    out += static_cast<char>(b);
  if (set.Chars.CharMapLoaded) out.append(set.Chars.CharMap.begin(), set.Chars.CharMap.end());
  PutImages(out, [&](int k) -> const TPattern& { return set.Bank.Slot(k); });
  out += static_cast<char>(set.Prepared.Earlier.size());
  for (const ReferencePatterns& refs : set.Prepared.Earlier)
    PutImages(out, [&](int k) -> const TPattern& { return refs[static_cast<std::size_t>(k)]; });
  if (!set.Detail.Loaded) return;
  PutPadding(out, kDetailAlign);
  PutDetailImage(out, CharacterDetail{});
  for (int k = 1; k <= kReferenceCount; ++k)
    PutDetailImage(out, set.Detail.Ref(static_cast<std::size_t>(k)));
  for (int k = 1; k <= kReferenceCount; ++k) {
    const auto& grid = set.Detail.Ref(static_cast<std::size_t>(k)).Grid;
    out.append(grid.begin(), grid.end());
  }
}

std::uint32_t PreparedSetReader::Number(int bytes) {
  const std::uint8_t* p = Take(static_cast<std::size_t>(bytes));
  std::uint32_t v = 0;
  for (int k = 0; k < bytes; ++k) v |= static_cast<std::uint32_t>(p[k]) << (8 * k);
  return v;
}

const std::uint8_t* PreparedSetReader::Take(std::size_t n) {
  if (size_ - at_ < n) Fail("is cut short: not a whole packed library");
  at_ += n;
  return reinterpret_cast<const std::uint8_t*>(data_) + at_ - n;
}

void PreparedSetReader::Fail(const std::string& problem) const {
  throw FileError(file_, problem, ErrorKind::kBadData);
}

void PreparedSetReader::ReadSettings(SetSettings& s, const std::string& set) {
  const std::uint8_t* b = Take(8);
  // Each as a settings file may hold it: a flag 0 or 1, a percent up to 100, a ratio from 1.
  const auto flag = [&](int k, std::optional<bool>& v) {
    if (b[k] == kNone) return;
    if (b[k] > 1) Fail("set " + set + ": bad setting");
    v = b[k] == 1;
  };
  const auto percent = [&](int k, std::optional<int>& v, int low) {
    if (b[k] == kNone) return;
    if (b[k] > 100 || b[k] < low) Fail("set " + set + ": bad setting");
    v = b[k];
  };
  flag(0, s.Black);
  flag(1, s.AutoCrop);
  flag(2, s.Autodetect);
  percent(3, s.Threshold, 0);
  percent(4, s.Increment, 0);
  flag(5, s.AspectRatioEnable);
  percent(6, s.AspectRatio, 1);
  percent(7, s.Tally, 0);
}

// The zero bytes up to the next multiple of align from the pack's first byte.
void PreparedSetReader::TakePadding(std::size_t align, const std::string& set) {
  for (const std::uint8_t* pad = Take((align - at_ % align) % align);
       pad != reinterpret_cast<const std::uint8_t*>(data_) + at_; ++pad)
    if (*pad != 0) Fail("set " + set + ": bad padding");
}

// References 1..40 as images, each checked: its cells (marks 0 or 1, levels up to 100), then
// that its largest level and line counts are those of its cells, so that nothing read later
// can disagree with the cells it describes (worked out aside: the images stay as they are).
const std::uint8_t* PreparedSetReader::TakeImages(const std::string& set) {
  bool marked = false;
  TakePadding(kImageAlign, set);
  const std::uint8_t* images = Take(kImageBytes * kReferenceCount);
  for (int k = 1; k <= kReferenceCount; ++k) {
    const std::uint8_t* bytes = images + (k - 1) * kImageBytes;
    CellSpans p;  // worked out from the cells alone
    if (!CellsValid(bytes, marked, p))
      Fail("set " + set + ": reference " + std::to_string(k) + " is not a pattern");
    std::uint16_t cols = 0, rows = 0;
    std::memcpy(&cols, bytes + offsetof(TPattern, ColCount), sizeof cols);
    std::memcpy(&rows, bytes + offsetof(TPattern, RowCount), sizeof rows);
    if (p.MaxLevel != bytes[kCellBytes] || p.ColCount != cols || p.RowCount != rows)
      Fail("set " + set + ": reference " + std::to_string(k) + " has wrong counts");
  }
  if (!marked) Fail("set " + set + ": holds no reference: every pattern is empty");
  return images;
}

// The settled references into the bank: shared in place where the pack is kept alive and
// they lie aligned (they do in a mapped pack), else copied.
void PreparedSetReader::ReadBank(TPatternBank& bank, const std::string& set) {
  const std::uint8_t* images = TakeImages(set);
  if (keep_ && reinterpret_cast<std::uintptr_t>(images) % alignof(TPattern) == 0) {
    bank = TPatternBank(
        std::shared_ptr<const TPattern>(keep_, reinterpret_cast<const TPattern*>(images)));
    return;
  }
  for (int k = 1; k <= kReferenceCount; ++k)
    std::memcpy(static_cast<void*>(&bank.Slot(k)), images + (k - 1) * kImageBytes, kImageBytes);
}

// Entries 0..40 and the grids of 1..40 once more, each checked, then shared in place where the
// pack is kept alive and they lie aligned (they do in a mapped pack), else copied.
void PreparedSetReader::ReadDetail(SetDetail& detail, const std::string& set) {
  TakePadding(kDetailAlign, set);
  const std::uint8_t* images = Take(kDetailImageBytes * kDetailCount);
  const std::uint8_t* grids = Take(kGridBytes * kReferenceCount);
  for (std::size_t k = 0; k < kDetailCount; ++k) {
    const std::uint8_t* image = images + k * kDetailImageBytes;
    if (!DetailImageSound(image) || (k == 0 && image[offsetof(CharacterDetail, Valid)] != 0) ||
        (k > 0 && std::memcmp(grids + (k - 1) * kGridBytes, image + offsetof(CharacterDetail, Grid),
                              kGridBytes) != 0))
      Fail("set " + set + ": reference " + std::to_string(k) + " has bad detail");
  }
  if (keep_ && reinterpret_cast<std::uintptr_t>(images) % kDetailAlign == 0) {
    detail = SetDetail(std::shared_ptr<const SetDetail::Details>(
                           keep_, reinterpret_cast<const SetDetail::Details*>(images)),
                       std::shared_ptr<const std::uint8_t>(keep_, grids));
    return;
  }
  // Checked above, each image is a detail as this build lays one out: copied whole.
  for (std::size_t k = 0; k < kDetailCount; ++k)
    std::memcpy(static_cast<void*>(&detail.Ref(k)), images + k * kDetailImageBytes,
                kDetailImageBytes);
  detail.Loaded = true;
}

void PreparedSetReader::ReadSet(const std::string& folder, std::vector<ReferenceSet>& sets) {
  const std::uint32_t length = Number(2);
  const std::string name(reinterpret_cast<const char*>(Take(length)), length);
  if (name.empty()) Fail("holds a set without a name");
  const std::uint32_t flags = Number(1);
  if ((flags & ~static_cast<std::uint32_t>(kHasMap | kHasDetail)) != 0)
    Fail("set " + name + ": bad flags");
  ReferenceSet& set = sets.emplace_back();
  set.Base = JoinPath(folder, name);
  ReadSettings(set.Settings, name);
  if (flags & kHasMap) {
    set.Chars.CharMapLoaded = true;
    const std::uint8_t* map = Take(set.Chars.CharMap.size());
    for (std::size_t k = 0; k < set.Chars.CharMap.size(); ++k) {
      // One character a line of a map file can give.
      if (map[k] == '\r' || map[k] == '\n') Fail("set " + name + ": bad character map");
      set.Chars.CharMap[k] = static_cast<char>(map[k]);
    }
  }
  ReadBank(set.Bank, name);
  const std::uint32_t earlier = Number(1);
  if (earlier >= kMaxPasses) Fail("set " + name + ": too many earlier passes");
  set.Prepared.Earlier.resize(earlier);
  for (ReferencePatterns& refs : set.Prepared.Earlier) {
    const std::uint8_t* images = TakeImages(name);
    for (std::size_t k = 1; k < refs.size(); ++k)
      std::memcpy(static_cast<void*>(&refs[k]), images + (k - 1) * kImageBytes, kImageBytes);
  }
  if (flags & kHasDetail) ReadDetail(set.Detail, name);
  set.Prepared.Ready = true;
  set.Prepared.Stamp = NewPreparationStamp();
  if (!set.Detail.Loaded) ProfileReferences(set.Bank, set.Prepared);
}

}  // namespace morvik
