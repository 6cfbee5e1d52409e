#include "core/set_files.h"

#include <algorithm>
#include <vector>

#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/safe_write.h"

namespace morvik {

PatternRecord EncodeRecord(const TPattern& pattern) {
  PatternRecord r{};
  for (std::size_t k = 0; k < pattern.Cells.size(); ++k) {
    r[2 * k] = pattern.Cells[k].Mark;
    r[2 * k + 1] = pattern.Cells[k].Level;
  }
  r[512] = pattern.MaxLevel;
  std::copy(pattern.StoredCounts.begin(), pattern.StoredCounts.end(), r.begin() + 513);
  return r;
}

void DecodeRecord(const std::uint8_t* bytes, std::size_t size, TPattern& pattern) {
  // A short record overwrites only the bytes it has, as a raw read into the record would.
  PatternRecord r = EncodeRecord(pattern);
  std::copy_n(bytes, std::min(size, PatternRecordSize), r.begin());
  for (std::size_t k = 0; k < pattern.Cells.size(); ++k)
    pattern.Cells[k] = TPatternCell{r[2 * k], r[2 * k + 1]};
  pattern.MaxLevel = r[512];
  std::copy(r.begin() + 513, r.end(), pattern.StoredCounts.begin());
}

namespace {

// Reads at most maxBytes of the file into out. False when the file cannot be opened, is not
// a regular file or a read fails; out then holds what was read before the failure.
bool ReadPrefix(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out) {
  std::string bytes;
  const bool ok = ReadRegularFilePrefix(ResolveFileName(path), maxBytes, bytes);
  out.assign(bytes.begin(), bytes.end());
  return ok;
}

// Whole records read before a failure stay. A file read to its end always gets one read:
// one shorter than a record fills the start of the first slot, and an empty one changes no
// cell (but the slot's stored counts are still unpacked, as after every read).
void DecodeRecords(const std::uint8_t* data, std::size_t size, bool toEnd, TPatternBank& bank,
                   int firstSlot) {
  const std::size_t whole = size / PatternRecordSize;
  const std::size_t records = toEnd ? std::max<std::size_t>(whole, 1) : whole;
  for (std::size_t k = 0; k < records; ++k) {
    TPattern& slot = bank.Slot(firstSlot + static_cast<int>(k));
    const std::size_t offset = k * PatternRecordSize;
    DecodeRecord(data + offset, std::min(PatternRecordSize, size - offset), slot);
    UnpackCounts(slot);
  }
}

bool LoadRecords(const std::string& path, TPatternBank& bank, int firstSlot, int maxRecords) {
  std::vector<std::uint8_t> data;
  const bool ok = ReadPrefix(path, PatternRecordSize * maxRecords, data);
  DecodeRecords(data.data(), data.size(), ok, bank, firstSlot);
  return ok;
}

std::string EncodeRecords(TPatternBank& bank, int firstSlot, int count) {
  std::string data;
  for (int k = firstSlot; k < firstSlot + count; ++k) {
    PackCounts(bank.Slot(k));
    const PatternRecord r = EncodeRecord(bank.Slot(k));
    data.append(reinterpret_cast<const char*>(r.data()), r.size());
  }
  return data;
}

bool WriteRecords(const std::string& path, TPatternBank& bank, int firstSlot, int count) {
  return ReplaceFileContents(ResolveFileName(path), EncodeRecords(bank, firstSlot, count));
}

}  // namespace

bool LoadReferenceFile(const std::string& path, TPatternBank& bank) {
  return LoadRecords(path, bank, 1, kReferenceCount);
}

void DecodeReferenceFile(const std::uint8_t* data, std::size_t size, TPatternBank& bank) {
  DecodeRecords(data, std::min(size, PatternRecordSize * kReferenceCount), true, bank, 1);
}

bool LoadTestFile(const std::string& path, TPatternBank& bank) {
  return LoadRecords(path, bank, kTestSlot, 1);
}

bool SaveReferenceFile(const std::string& path, TPatternBank& bank) {
  return WriteRecords(path, bank, 1, kReferenceCount);
}

bool SaveTestFile(const std::string& path, TPatternBank& bank) {
  return WriteRecords(path, bank, kTestSlot, 1);
}

std::string EncodeReferenceFile(TPatternBank& bank) {
  return EncodeRecords(bank, 1, kReferenceCount);
}

std::string EncodeTestFile(TPatternBank& bank) {
  return EncodeRecords(bank, kTestSlot, 1);
}

}  // namespace morvik
