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
// detail, the form of its derived numbers (a byte: kExtended or kRecompute) and the detail of
// references 1..40. A pattern is its image, the bytes of a TPattern (its padding zero), and
// the references 1..40 start at a multiple of kImageAlign
// from the pack's first byte, zero bytes before them. A detail is its valid byte, ink width, ink
// height and height (2 bytes each), its grid and, in kExtended form, InvNorm, LogAspect and
// LogHeight as x87 extended numbers (10 bytes each, zero for an invalid detail).
constexpr std::uint8_t kHasMap = 1, kHasDetail = 2;
constexpr std::uint8_t kNone = 0xFF;
constexpr std::size_t kCellBytes = sizeof(TPattern::Cells);
constexpr std::size_t kGridBytes = kDetailSize * kDetailSize;
constexpr std::size_t kDetailBytes = 1 + 3 * 2 + kGridBytes;
constexpr std::size_t kExtendedBytes = 10, kDerivedBytes = 3 * kExtendedBytes;
// The forms of a detail's derived numbers: stored exactly as this host computes them where
// its long double is the x87 extended number, else left for the reader to compute again
// (which gives the same values, only slower).
constexpr std::uint8_t kRecompute = 0, kExtended = 64;
constexpr bool kHostExtended =
    std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= kExtendedBytes;
constexpr std::size_t kImageBytes = sizeof(TPattern), kImageAlign = 8;
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

std::uint16_t Word(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
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
  s.append((kImageAlign - s.size() % kImageAlign) % kImageAlign, '\0');
  for (int k = 1; k <= kReferenceCount; ++k) PutImage(s, reference(k));
}

void PutDetail(std::string& s, const CharacterDetail& d) {
  s += static_cast<char>(d.Valid ? 1 : 0);
  PutNumber(s, d.InkWidth, 2);
  PutNumber(s, d.InkHeight, 2);
  PutNumber(s, d.Height, 2);
  s.append(d.Grid.begin(), d.Grid.end());
  if (!kHostExtended) return;
  for (const long double v : {d.InvNorm, d.LogAspect, d.LogHeight}) {
    char bytes[sizeof(long double)] = {};
    if (d.Valid) std::memcpy(bytes, &v, sizeof v);
    s.append(bytes, kExtendedBytes);
  }
}

long double Extended(const std::uint8_t* bytes) {
  long double v = 0;
  std::memcpy(&v, bytes, kExtendedBytes);
  return v;
}

// A number a detail's derivation can give: finite and within the bounds of its kind.
bool Within(long double v, long double low, long double high) {
  return v >= low && v <= high;  // false for NaN
}

std::string PatternLayout() {
  std::string record;
  const std::uint16_t probe = 0x0102;
  for (const std::size_t n :
       {kImageBytes, offsetof(TPattern, ColCount), offsetof(TPattern, RowCount)})
    PutNumber(record, static_cast<std::uint32_t>(n), 2);
  record.append(reinterpret_cast<const char*>(&probe), sizeof probe);
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
  out += static_cast<char>(kHostExtended ? kExtended : kRecompute);
  for (int k = 1; k <= kReferenceCount; ++k)
    PutDetail(out, set.Detail.Refs[static_cast<std::size_t>(k)]);
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

// References 1..40 as images, each checked: its cells (marks 0 or 1, levels up to 100), then
// that its largest level and line counts are those of its cells, so that nothing read later
// can disagree with the cells it describes (worked out aside: the images stay as they are).
const std::uint8_t* PreparedSetReader::TakeImages(const std::string& set) {
  bool marked = false;
  for (const std::uint8_t* pad = Take((kImageAlign - at_ % kImageAlign) % kImageAlign);
       pad != reinterpret_cast<const std::uint8_t*>(data_) + at_; ++pad)
    if (*pad != 0) Fail("set " + set + ": bad padding");
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

void PreparedSetReader::ReadDetail(SetDetail& detail, const std::string& set) {
  const std::uint32_t form = Number(1);
  if (form != kRecompute && form != kExtended) Fail("set " + set + ": bad detail form");
  const std::size_t record = kDetailBytes + (form == kExtended ? kDerivedBytes : 0);
  const std::uint8_t* bytes = Take(record * kReferenceCount);
  detail.Loaded = true;
  for (std::size_t k = 1; k <= static_cast<std::size_t>(kReferenceCount); ++k, bytes += record) {
    CharacterDetail& d = detail.Refs[k];
    d.InkWidth = Word(bytes + 1);
    d.InkHeight = Word(bytes + 3);
    d.Height = Word(bytes + 5);
    std::memcpy(d.Grid.data(), bytes + 7, kGridBytes);
    if (bytes[0] > 1 || (bytes[0] == 1 && (d.InkWidth == 0 || d.InkHeight == 0)))
      Fail("set " + set + ": reference " + std::to_string(k) + " has bad detail");
    d.Valid = bytes[0] == 1;
    if (!d.Valid) continue;
    if (form != kExtended || !kHostExtended) {
      CompleteDetail(d);
      continue;
    }
    // As CompleteDetail computes them: 1 / the root of a whole number, the logarithms of
    // ratios of 16-bit numbers.
    const std::uint8_t* derived = bytes + kDetailBytes;
    d.Sum = GridSum(d.Grid.data());
    d.InvNorm = Extended(derived);
    d.LogAspect = Extended(derived + kExtendedBytes);
    d.LogHeight = Extended(derived + 2 * kExtendedBytes);
    if (!Within(d.InvNorm, 0, 1) || !Within(d.LogAspect, -12, 12) || !Within(d.LogHeight, -12, 12))
      Fail("set " + set + ": reference " + std::to_string(k) + " has bad detail");
  }
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
  if (!set.Detail.Loaded) ProfileReferences(set.Bank, set.Prepared);
}

}  // namespace morvik
