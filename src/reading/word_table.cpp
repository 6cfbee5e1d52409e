#include "reading/word_table.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/safe_write.h"
#include "reading/stock_library.h"

namespace fs = std::filesystem;

namespace morvik {

namespace {

constexpr char kMagic[8] = {'M', 'V', 'K', 'W', 'O', 'R', 'D', 'S'};
constexpr std::uint32_t kVersion = 1;

// The header as it lies at the start of the file; the slots follow it, then the text.
struct Header {
  char Magic[8];
  std::uint32_t Version, Slots, Words, TextBytes;
  std::uint64_t ListBytes;
  std::int64_t ListSeconds, ListNanoseconds;
};
static_assert(sizeof(Header) == 48, "the header has no padding");

WordListStamp StampOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
          static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

template <typename T>
void Append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

[[noreturn]] void Bad(const std::string& file, const std::string& problem) {
  throw FileError(file, problem, ErrorKind::kBadData);
}

// The header of a file of `bytes` bytes at `at`, checked against the file's size.
Header CheckedHeader(const std::string& file, const char* at, std::size_t bytes) {
  Header h{};
  if (bytes < sizeof h) Bad(file, "is too short for a word table");
  std::memcpy(&h, at, sizeof h);
  if (std::memcmp(h.Magic, kMagic, sizeof kMagic) != 0) Bad(file, "is not a word table");
  if (h.Version != kVersion)
    Bad(file, "is a word table of version " + std::to_string(h.Version) + ", not " +
                  std::to_string(kVersion));
  const bool powerOfTwo = (h.Slots & (h.Slots - 1)) == 0;
  const std::uint64_t whole = sizeof h + std::uint64_t{h.Slots} * 4 + h.TextBytes;
  if (!powerOfTwo || h.Words > h.Slots || (h.Words == h.Slots && h.Slots != 0) || whole != bytes)
    Bad(file, "holds sizes that do not match it (a damaged or truncated word table)");
  if (h.TextBytes > 0 && at[bytes - 1] != '\n') Bad(file, "does not end with a word");
  return h;
}

int OpenRegular(const std::string& file, struct stat& st) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

// The list mapped as it is on disk and hashed as Lexicon(lines) does.
Lexicon MapWordList(int fd, std::size_t bytes) {
  void* at = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (at == MAP_FAILED) return Lexicon(std::string_view());
  struct Kept {
    Kept(void* at, std::size_t bytes)
        : List(at, bytes), Words(std::string_view(static_cast<const char*>(at), bytes)) {}
    Mapping List;
    Lexicon Words;
  };
  const auto kept = std::make_shared<const Kept>(at, bytes);
  return Lexicon(kept->Words.Table(), kept);
}

}  // namespace

Mapping::~Mapping() {
  ::munmap(at_, bytes_);
}

std::string WordTableBytes(const Lexicon& words, const WordListStamp& list) {
  const LexiconTable& t = words.Table();
  std::vector<std::uint32_t> slots(t.Size, 0);
  std::string text;
  // Each word keeps its slot, so a lookup probes the same slots as in the list's own table.
  for (std::size_t i = 0; i < t.Size; ++i) {
    if (t.Slots[i] == 0) continue;
    slots[i] = static_cast<std::uint32_t>(text.size() + 1);
    for (char c : t.WordAt(t.Slots[i]))
      text += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    text += '\n';
  }
  Header h{};
  std::memcpy(h.Magic, kMagic, sizeof kMagic);
  h.Version = kVersion;
  h.Slots = static_cast<std::uint32_t>(t.Size);
  h.Words = static_cast<std::uint32_t>(t.Words);
  h.TextBytes = static_cast<std::uint32_t>(text.size());
  h.ListBytes = list.Bytes;
  h.ListSeconds = list.Seconds;
  h.ListNanoseconds = list.Nanoseconds;
  std::string bytes;
  Append(bytes, h);
  bytes.append(reinterpret_cast<const char*>(slots.data()), slots.size() * sizeof slots[0]);
  return bytes + text;
}

void WriteWordTable(const std::string& listFile, const std::string& tableFile) {
  struct stat st {};
  std::string lines;
  WordListStamp stamp;
  if (::stat(listFile.c_str(), &st) == 0) {
    stamp = StampOf(st);
    lines = ReadRegularFile(listFile, INT32_MAX);
  } else if (errno != ENOENT) {
    throw FileError(listFile, WithReason("cannot be read", errno), ErrorKind::kCannotRead);
  }
  const std::string bytes = WordTableBytes(Lexicon(lines), stamp);
  ReplacementFile out(tableFile);
  out.Write(bytes.data(), bytes.size());
  out.Commit();
}

WordTable OpenWordTable(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    throw FileError(file, WithReason("cannot be read", errno),
                    errno == ENOENT ? ErrorKind::kNotFound : ErrorKind::kCannotRead);
  const FileDescriptor closing(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    throw FileError(file, "is not a regular file", ErrorKind::kCannotRead);
  const auto bytes = static_cast<std::size_t>(st.st_size);
  if (bytes < sizeof(Header)) Bad(file, "is too short for a word table");
  // Not populated: a process reads a few pages of a table that is mostly never touched.
  void* at = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, fd, 0);
  if (at == MAP_FAILED)
    throw FileError(file, WithReason("cannot be mapped", errno), ErrorKind::kCannotRead);
  auto kept = std::make_shared<const Mapping>(at, bytes);
  const char* base = static_cast<const char*>(at);
  const Header h = CheckedHeader(file, base, bytes);
  LexiconTable t;
  t.Slots = reinterpret_cast<const std::uint32_t*>(base + sizeof h);
  t.Size = h.Slots;
  t.Text = std::string_view(base + sizeof h + std::size_t{h.Slots} * 4, h.TextBytes);
  t.Words = h.Words;
  return {Lexicon(t, std::move(kept)), {h.ListBytes, h.ListSeconds, h.ListNanoseconds}};
}

Lexicon InstalledLexicon(const std::string& listFile, const std::vector<std::string>& tables) {
  struct stat st {};
  const int fd = OpenRegular(listFile, st);
  if (fd < 0) return Lexicon(std::string_view());
  const FileDescriptor closing(fd);
  if (st.st_size <= 0 || st.st_size >= INT32_MAX) return Lexicon(std::string_view());
  for (const std::string& table : tables) {
    // A place without a table is passed over without an exception: an installed program looks
    // beside itself before its data folder, and the first exception the static program
    // throws costs it some 2 ms (its unwinder sorts the whole frame table).
    struct stat there {};
    if (::stat(table.c_str(), &there) != 0) continue;
    try {
      WordTable found = OpenWordTable(table);
      if (found.List == StampOf(st)) return std::move(found.Words);
    } catch (const Error&) {
      // Missing, damaged or out of date: the next place, at worst the list itself.
    }
  }
  return MapWordList(fd, static_cast<std::size_t>(st.st_size));
}

std::vector<std::string> WordTablePlaces() {
  std::vector<std::string> places;
  if (const char* stock = std::getenv("MORVIK_STOCK"); stock && *stock)
    places.push_back((fs::path(stock).parent_path() / kWordTableName).string());
  for (const std::string& library : StockLibraryPlaces(ExecutableFolder(nullptr)))
    places.push_back((fs::path(library).parent_path() / kWordTableName).string());
#ifdef MORVIK_INSTALLED_WORDS
  places.push_back(MORVIK_INSTALLED_WORDS);
#endif
  return places;
}

}  // namespace morvik
