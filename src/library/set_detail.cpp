#include "library/set_detail.h"

#include <cmath>
#include <cstring>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

namespace {

Error BadDetail(const std::string& file, const std::string& problem) {
  return FileError(file, problem, ErrorKind::kBadData);
}

const std::string kMagic = "MVDETAIL";
constexpr std::size_t kHeaderBytes = 8 + 3;

// Version 2 adds the relative height to each reference.
std::size_t RecordBytes(int version) {
  return 1 + 2 + 2 + (version >= 2 ? 2 : 0) + kDetailSize * kDetailSize;
}

std::size_t FileBytes(int version) {
  return kHeaderBytes + kReferenceCount * RecordBytes(version);
}

void PutWord(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

std::uint16_t WordAt(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) |
                                    static_cast<std::uint8_t>(s[at + 1]) << 8);
}

}  // namespace

void CompleteDetail(CharacterDetail& detail) {
  std::int64_t sum = 0, squares = 0;
  for (const std::uint8_t g : detail.Grid) {
    sum += g;
    squares += static_cast<std::int64_t>(g) * g;
  }
  detail.Sum = sum;
  const std::int64_t spread = static_cast<std::int64_t>(detail.Grid.size()) * squares - sum * sum;
  // A grid whose cells spread by less than kFlatSpread grey levels is a solid box (an I, a
  // dash): its few shaded edge cells would correlate by chance.
  constexpr std::int64_t kFlat =
      kFlatSpread * kFlatSpread * kDetailSize * kDetailSize * kDetailSize * kDetailSize;
  detail.InvNorm = spread > kFlat ? 1.0L / std::sqrt(static_cast<long double>(spread)) : 0.0L;
  detail.LogAspect = detail.InkWidth > 0 && detail.InkHeight > 0
                         ? std::log(static_cast<long double>(detail.InkWidth) / detail.InkHeight)
                         : 0.0L;
  detail.LogHeight =
      detail.Height > 0 ? std::log(static_cast<long double>(detail.Height) / 1000.0L) : 0.0L;
}

const CharacterDetail SetDetail::kNoDetail{};

// A copy shares what the other shares and owns a copy of what the other owns.
SetDetail::SetDetail(const SetDetail& other)
    : Loaded(other.Loaded), read_(other.read_), grids_(other.grids_) {
  if (other.own_) read_ = own_ = std::make_shared<Details>(*other.own_);
}

SetDetail& SetDetail::operator=(const SetDetail& other) {
  if (this != &other) *this = SetDetail(other);
  return *this;
}

SetDetail::~SetDetail() = default;

SetDetail::Details& SetDetail::Own() {
  if (!own_) {
    own_ = read_ ? std::make_shared<Details>(*read_) : std::make_shared<Details>();
    read_ = own_;
    grids_.reset();
  }
  return *own_;
}

std::string SetDetailPath(const std::string& base) {
  return base + ".detail";
}

SetDetail ParseSetDetail(const std::string& bytes, const std::string& file) {
  if (bytes.size() < kHeaderBytes || bytes.compare(0, kMagic.size(), kMagic) != 0)
    throw BadDetail(file, "is not a detail file of 40 references");
  const int version = static_cast<std::uint8_t>(bytes[8]);
  if ((version != 1 && version != 2) || bytes[9] != kDetailSize || bytes[10] != kReferenceCount)
    throw BadDetail(file, "is a detail file of another version or grid");
  if (bytes.size() != FileBytes(version))
    throw BadDetail(file, "is not a detail file of 40 references");
  const std::size_t record = RecordBytes(version), grid = version >= 2 ? 7 : 5;
  SetDetail detail;
  detail.Loaded = true;
  for (int n = 1; n <= kReferenceCount; ++n) {
    const std::size_t at = kHeaderBytes + (static_cast<std::size_t>(n) - 1) * record;
    CharacterDetail& d = detail.Ref(static_cast<std::size_t>(n));
    const auto valid = static_cast<std::uint8_t>(bytes[at]);
    if (valid > 1) throw BadDetail(file, "reference " + std::to_string(n) + ": bad valid byte");
    d.Valid = valid == 1;
    d.InkWidth = WordAt(bytes, at + 1);
    d.InkHeight = WordAt(bytes, at + 3);
    if (version >= 2) d.Height = WordAt(bytes, at + 5);
    if (d.Valid && (d.InkWidth == 0 || d.InkHeight == 0))
      throw BadDetail(file, "reference " + std::to_string(n) + ": empty ink box");
    std::memcpy(d.Grid.data(), bytes.data() + at + grid, d.Grid.size());
    if (d.Valid) CompleteDetail(d);
  }
  return detail;
}

SetDetail LoadSetDetail(const std::string& base) {
  const std::string path = SetDetailPath(base);
  const std::optional<std::string> bytes = ReadSmallFile(path, kMaxSetFileBytes);
  if (!bytes) return SetDetail{};
  return ParseSetDetail(*bytes, ResolveFileName(path));
}

std::string FormatSetDetail(const SetDetail& detail) {
  bool heights = false;
  for (int n = 1; n <= kReferenceCount; ++n) {
    const CharacterDetail& d = detail.Ref(static_cast<std::size_t>(n));
    heights = heights || (d.Valid && d.Height > 0);
  }
  const int version = heights ? 2 : 1;
  std::string s = kMagic;
  s += static_cast<char>(version);
  s += static_cast<char>(kDetailSize);
  s += static_cast<char>(kReferenceCount);
  for (int n = 1; n <= kReferenceCount; ++n) {
    const CharacterDetail& d = detail.Ref(static_cast<std::size_t>(n));
    s += static_cast<char>(d.Valid ? 1 : 0);
    PutWord(s, d.InkWidth);
    PutWord(s, d.InkHeight);
    if (version >= 2) PutWord(s, d.Height);
    s.append(d.Grid.begin(), d.Grid.end());
  }
  return s;
}

void StageSetDetail(ReplacementGroup& group, const std::string& base, const SetDetail& detail) {
  const std::string path = ResolveFileName(SetDetailPath(base));
  bool any = false;
  for (int n = 1; n <= kReferenceCount; ++n)
    any = any || detail.Ref(static_cast<std::size_t>(n)).Valid;
  if (any)
    group.Replace(path, FormatSetDetail(detail));
  else
    group.Remove(path);
}

}  // namespace morvik
