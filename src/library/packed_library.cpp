#include "library/packed_library.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "core/set_files.h"
#include "library/prepared_pack.h"
#include "library/set_char_map.h"

namespace fs = std::filesystem;

namespace morvik {

namespace {

// "MVPACK", CR LF, the version; then the count of sets (2 bytes) and the sets. In version 4
// the layout record of this build's patterns and details follows the count, and each set is
// in its prepared form (prepared_pack.h). Versions 2 and 3, whose references or details could
// not be read in place, are refused: the build writes the stock pack again. In version 1, which
// older builds wrote, each is its name (2-byte length, bytes) and its four files in kParts order,
// each a present byte (0 or 1) and, when present, a 4-byte length and the bytes. Numbers are
// little-endian.
const std::string kMagic = "MVPACK\r\n";
constexpr std::uint8_t kFileVersion = 1, kPreparedVersion = 4;
const char* const kParts[] = {".PCP", ".charmap.txt", ".set.ini", ".detail"};
constexpr int kPartCount = 4;

void PutNumber(std::string& s, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s += static_cast<char>((v >> (8 * k)) & 0xFF);
}

std::string FolderOf(const std::string& path) {
  return fs::path(ResolveFileName(path)).parent_path().string();
}

// The pack mapped from the page cache whole (one call instead of a fault or a copy for
// every page); empty when the file does not exist.
class MappedPack {
 public:
  explicit MappedPack(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return;
    found_ = true;
    // O_NONBLOCK: a FIFO swapped in meanwhile must not wait for a writer.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw ReadError(file, "cannot be opened", errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      throw FileError(file, "is not a regular file", ErrorKind::kCannotRead);
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxPackedLibraryBytes) {
      ::close(fd);
      throw FileError(file, "is larger than " + std::to_string(kMaxPackedLibraryBytes) + " bytes",
                      ErrorKind::kTooLarge);
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
      void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (at == MAP_FAILED) {
        const int error = errno;
        ::close(fd);
        throw ReadError(file, "cannot be read", error);
      }
      data_ = static_cast<const char*>(at);
    }
    ::close(fd);
  }
  ~MappedPack() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
  }
  MappedPack(const MappedPack&) = delete;
  MappedPack& operator=(const MappedPack&) = delete;
  bool Found() const { return found_; }
  const char* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  bool found_ = false;
  const char* data_ = nullptr;
  std::size_t size_ = 0;
};

// Reads the pack front to back; every read is checked against its end.
class PackReader {
 public:
  PackReader(const char* data, std::size_t size, const std::string& file)
      : data_(data), size_(size), file_(file) {}
  std::uint32_t Number(int bytes) {
    Need(static_cast<std::size_t>(bytes));
    std::uint32_t v = 0;
    for (int k = 0; k < bytes; ++k)
      v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(data_[at_++])) << (8 * k);
    return v;
  }
  // The next n bytes, in place.
  const char* Skip(std::size_t n) {
    Need(n);
    at_ += n;
    return data_ + at_ - n;
  }
  std::string Bytes(std::size_t n) { return std::string(Skip(n), n); }
  bool AtEnd() const { return at_ == size_; }
  [[noreturn]] void Fail(const std::string& problem) const {
    throw FileError(file_, problem, ErrorKind::kBadData);
  }

 private:
  void Need(std::size_t n) const {
    if (size_ - at_ < n) Fail("is cut short: not a whole packed library");
  }
  const char* data_;
  std::size_t size_;
  const std::string& file_;
  std::size_t at_ = 0;
};

// One set from its packed files, as OpenReferenceSet reads them from disk, added to sets
// (built in place: a set is large).
void UnpackSet(PackReader& in, const std::string& folder, const std::string& file,
               std::vector<ReferenceSet>& sets) {
  const std::string name = in.Bytes(in.Number(2));
  if (name.empty()) in.Fail("holds a set without a name");
  struct Part {
    const char* Data = nullptr;
    std::size_t Size = 0;
  } parts[kPartCount];
  for (Part& part : parts) {
    const std::uint32_t present = in.Number(1);
    if (present > 1) in.Fail("set " + name + ": bad part marker");
    if (present == 0) continue;
    part.Size = in.Number(4);
    part.Data = in.Skip(part.Size);
  }
  if (!parts[0].Data) in.Fail("set " + name + ": no reference file");
  ReferenceSet& set = sets.emplace_back();
  set.Base = JoinPath(folder, name);
  const std::string label = file + ": " + name;
  const auto* references = reinterpret_cast<const std::uint8_t*>(parts[0].Data);
  CheckReferenceBytes(references, parts[0].Size, label + kParts[0]);
  DecodeReferenceFile(references, parts[0].Size, set.Bank);
  auto text = [&](int p) { return std::string(parts[p].Data, parts[p].Size); };
  if (parts[1].Data) set.Chars = ParseStrictCharMap(text(1), label + kParts[1]);
  if (parts[2].Data) set.Settings = ParseSetSettings(text(2), label + kParts[2]);
  if (parts[3].Data) set.Detail = ParseSetDetail(text(3), label + kParts[3]);
  PrepareReferenceSet(set);
}

}  // namespace

bool IsPackedLibraryName(const std::string& name) {
  const std::string suffix = ".pack";
  return name.size() > suffix.size() &&
         strcasecmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
}

void SavePackedLibrary(const std::string& packPath, const std::vector<std::string>& names) {
  const std::string file = ResolveFileName(packPath);
  if (names.size() > static_cast<std::size_t>(kMaxLibrarySets))
    throw FileError(file, "would hold more than " + std::to_string(kMaxLibrarySets) + " sets");
  const std::string folder = FolderOf(packPath);
  std::string pack = kMagic;
  pack += static_cast<char>(kPreparedVersion);
  PutNumber(pack, static_cast<std::uint32_t>(names.size()), 2);
  PutPatternLayout(pack);
  for (const std::string& name : names) {
    if (name.empty() || name.size() > 0xFFFF)
      throw FileError(file, "cannot hold the set name \"" + name + "\"");
    PutPreparedSet(pack, name, OpenReferenceSet(JoinPath(folder, name)));
  }
  if (pack.size() > kMaxPackedLibraryBytes) throw FileError(file, "would be too large");
  WriteNewContents(file, pack);
}

ReferenceLibrary OpenPackedLibrary(const std::string& packPath) {
  const std::string file = ResolveFileName(packPath);
  const auto pack = std::make_shared<const MappedPack>(file);
  if (!pack->Found()) throw FileError(file, "packed library not found", ErrorKind::kNotFound);
  // The sets read their references from the mapping, which lives as long as any of them.
  return ParsePackedLibrary(pack->Data(), pack->Size(), file, FolderOf(packPath),
                            std::shared_ptr<const char>(pack, pack->Data()));
}

ReferenceLibrary ParsePackedLibrary(const char* data, std::size_t size, const std::string& file,
                                    const std::string& folder, std::shared_ptr<const char> keep) {
  PackReader in(data, size, file);
  if (in.Bytes(kMagic.size()) != kMagic) in.Fail("is not a packed library");
  const std::uint32_t version = in.Number(1);
  if (version != kFileVersion && version != kPreparedVersion)
    in.Fail("is a packed library of another version");
  const std::uint32_t count = in.Number(2);
  if (count == 0) in.Fail("holds no set");
  if (count > static_cast<std::uint32_t>(kMaxLibrarySets))
    in.Fail("holds more than " + std::to_string(kMaxLibrarySets) + " sets");
  ReferenceLibrary library;
  library.Sets.reserve(count);
  if (version == kFileVersion) {
    for (std::uint32_t k = 0; k < count; ++k) UnpackSet(in, folder, file, library.Sets);
    if (!in.AtEnd()) in.Fail("has bytes after its last set");
    return library;
  }
  if (!IsPatternLayout(in.Skip(kLayoutBytes)))
    in.Fail("was packed by a build that lays patterns out otherwise");
  const std::size_t header = kMagic.size() + 3 + kLayoutBytes;
  PreparedSetReader sets(data, size, header, file, data ? std::move(keep) : nullptr);
  for (std::uint32_t k = 0; k < count; ++k) sets.ReadSet(folder, library.Sets);
  if (!sets.AtEnd()) in.Fail("has bytes after its last set");
  return library;
}

}  // namespace morvik
