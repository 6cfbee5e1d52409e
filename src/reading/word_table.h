// The lexicon's word table prepared once, when the program is built, and mapped read-only by
// every process that needs it: a process then pays for the few pages its lookups touch
// instead of hashing the whole word list (about 100 000 words) each time.
//
// The file ("words.table", beside the stock library) holds, in the byte order of the machine
// that made it: a header (the magic "MVKWORDS", the version, the number of slots, of words
// and of bytes of text, and the size and modification time of the word list it was made
// from), the slots (32 bits each, as LexiconTable has them) and the words in small letters,
// each ended by a line end. A table answers exactly as the list it was made from; one made
// from another list than the installed one is passed over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "reading/lexicon.h"

namespace morvik {

// Memory from mmap, unmapped when its last owner lets it go.
class Mapping {
 public:
  Mapping(void* at, std::size_t bytes) : at_(at), bytes_(bytes) {}
  ~Mapping();
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

 private:
  void* at_;
  std::size_t bytes_;
};

// Which word list a table was made from: its size and modification time.
struct WordListStamp {
  std::uint64_t Bytes = 0;
  std::int64_t Seconds = 0, Nanoseconds = 0;
  bool operator==(const WordListStamp& o) const {
    return Bytes == o.Bytes && Seconds == o.Seconds && Nanoseconds == o.Nanoseconds;
  }
};

// The bytes of the file that holds words' table, made from the list stamped `list`.
std::string WordTableBytes(const Lexicon& words, const WordListStamp& list);

// Makes the table of the word list `listFile` and writes it whole to `tableFile`; a missing
// list gives a table of no words (which no installed list matches). Throws Error naming the
// file that cannot be read or written.
void WriteWordTable(const std::string& listFile, const std::string& tableFile);

struct WordTable {
  Lexicon Words;
  WordListStamp List;
};

// The table of `file`, mapped. Throws Error naming the file: kNotFound or kCannotRead when it
// cannot be opened or is no regular file, kBadData when it is not a word table of this
// version or its sizes do not hold (a truncated or damaged file).
WordTable OpenWordTable(const std::string& file);

// The lexicon of the word list `listFile`: from the first of `tables` that opens and was made
// from the list as it is now, else made from the list itself (which answers the same, only
// more slowly: a table that is damaged or out of date is not worth stopping a reading for);
// an empty lexicon when the list is missing, unreadable or empty. Never throws.
Lexicon InstalledLexicon(const std::string& listFile, const std::vector<std::string>& tables);

// Where the prepared table is looked for, in order: beside the library $MORVIK_STOCK names,
// in the stock library's folders beside this program (StockLibraryPlaces), then where the
// program installs it.
std::vector<std::string> WordTablePlaces();

constexpr char kWordList[] = "/usr/share/dict/american-english";
constexpr char kWordTableName[] = "words.table";

}  // namespace morvik
