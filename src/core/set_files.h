// Pattern set files: "<base>.PCP" holds the 40 references, "<base>.PCT" the TestPattern,
// each a flat run of 517-byte records with no header. Every operation returns whether it
// worked and never throws.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/pattern_bank.h"

namespace morvik {

constexpr std::size_t PatternRecordSize = 517;
using PatternRecord = std::array<std::uint8_t, PatternRecordSize>;

// Record layout, little-endian on every host: 256 cells of Mark, Level (row-major), then
// MaxLevel, then StoredCounts (ColCount low, high, RowCount low, high).
PatternRecord EncodeRecord(const TPattern& pattern);
void DecodeRecord(const std::uint8_t* bytes, std::size_t size, TPattern& pattern);

// Reads whole records into slots 1, 2, ... (at most 40; the rest of the file is ignored, as
// is an incomplete tail, except that a file shorter than one record is read into the start
// of slot 1). Slots after the last record keep their contents. False when the file cannot
// be opened or read or is not a regular file; records read before a failure stay.
bool LoadReferenceFile(const std::string& path, TPatternBank& bank);
// The same from the bytes of a whole reference file, as read to its end.
void DecodeReferenceFile(const std::uint8_t* data, std::size_t size, TPatternBank& bank);
// The first record (or the bytes of a shorter file) into the TestPattern.
bool LoadTestFile(const std::string& path, TPatternBank& bank);

// Exactly 40 records (20680 bytes) / one record. The file is written beside its final name
// and moved into place, so a failed save never leaves a truncated set behind. A link is
// written through to the file it names; a read-only file (by its mode bits) is not replaced.
bool SaveReferenceFile(const std::string& path, TPatternBank& bank);
bool SaveTestFile(const std::string& path, TPatternBank& bank);
// The bytes those two write, for writers that place the files themselves.
std::string EncodeReferenceFile(TPatternBank& bank);
std::string EncodeTestFile(TPatternBank& bank);

}  // namespace morvik
