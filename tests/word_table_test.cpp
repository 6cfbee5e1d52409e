// The prepared word table: it answers as the list it was made from, a damaged file is
// refused for what it is, and the installed lexicon falls back to the list when it must.
#include "reading/word_table.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "error_of.h"
#include "test_util.h"

namespace morvik {
namespace {

const char kList[] = "harbour\nKelsby\nisn't\nferry\nAaron\naaron\nBOAT\ncafé\nx\n\nferry";
const char* const kQueries[] = {"harbour", "kelsby", "Kelsby", "isn't",    "isnt",
                                "ferry",   "aaron",  "boat",   "caf",      "café",
                                "x",       "",       "harbo",  "harbourr", "ferry\n"};

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(WordTable, AnswersAsTheListItWasMadeFrom) {
  test::TempDir dir;
  const Lexicon list(kList);
  WriteBytes(dir.File("t"), WordTableBytes(list, {}));
  const WordTable table = OpenWordTable(dir.File("t"));
  for (const char* q : kQueries) EXPECT_EQ(table.Words.Contains(q), list.Contains(q)) << q;
  EXPECT_TRUE(table.Words.Contains("harbour"));  // the comparison above is not vacuous
  EXPECT_FALSE(table.Words.Contains("isn't"));
  // A whole list too, whose probes run into each other.
  std::string many;
  for (int i = 0; i < 3000; ++i)
    many += "w" + std::string(1, char('a' + i % 26)) + std::string(1, char('a' + i / 26 % 26)) +
            std::string(static_cast<std::size_t>(i % 7), 'q') + "\n";
  const Lexicon big(many);
  WriteBytes(dir.File("big"), WordTableBytes(big, {}));
  const WordTable bigTable = OpenWordTable(dir.File("big"));
  for (int i = 0; i < 3000; i += 7) {
    const std::string q =
        "W" + std::string(1, char('A' + i % 26)) + std::string(1, char('a' + i % 23));
    EXPECT_EQ(bigTable.Words.Contains(q), big.Contains(q)) << q;
  }
  EXPECT_EQ(bigTable.Words.Table().Words, big.Table().Words);
}

// The installed list, where there is one: every line of it asked for as it is, in capitals,
// and with its last letter changed, answered alike by the list's table and the prepared one.
TEST(WordTable, AnswersAsTheInstalledList) {
  const std::string lines = ReadBytes(kWordList);
  if (lines.empty()) GTEST_SKIP() << "no word list installed";
  test::TempDir dir;
  const Lexicon list(lines);
  WriteBytes(dir.File("t"), WordTableBytes(list, {}));
  const WordTable table = OpenWordTable(dir.File("t"));
  std::istringstream in(lines);
  int differences = 0;
  for (std::string w; std::getline(in, w);) {
    std::string capitals = w, changed = w;
    for (char& c : capitals) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!changed.empty()) changed.back() = changed.back() == 'z' ? 'a' : 'z';
    for (const std::string& q : {w, capitals, changed})
      differences += table.Words.Contains(q) != list.Contains(q);
  }
  EXPECT_EQ(differences, 0);
  EXPECT_EQ(table.Words.Table().Words, list.Table().Words);
}

TEST(WordTable, RefusesDamagedFilesNamingThem) {
  test::TempDir dir;
  const std::string good = WordTableBytes(Lexicon(kList), {});
  const auto damaged = [&](const std::string& name, const std::function<void(std::string&)>& f) {
    std::string bytes = good;
    f(bytes);
    WriteBytes(dir.File(name), bytes);
    return [&dir, name] { OpenWordTable(dir.File(name)); };
  };
  const auto set32 = [](std::size_t at, std::uint32_t v) {
    return [=](std::string& b) { std::memcpy(&b[at], &v, 4); };
  };
  mkdir(dir.File("folder").c_str(), 0755);
  test::ExpectErrors({
      {"missing", [&] { OpenWordTable(dir.File("none")); }, ErrorKind::kNotFound, dir.File("none")},
      {"a folder", [&] { OpenWordTable(dir.File("folder")); }, ErrorKind::kCannotRead,
       dir.File("folder")},
      {"empty", damaged("empty", [](std::string& b) { b.clear(); }), ErrorKind::kBadData,
       dir.File("empty")},
      {"header cut", damaged("short", [](std::string& b) { b.resize(20); }), ErrorKind::kBadData,
       dir.File("short")},
      {"words cut", damaged("cut", [](std::string& b) { b.pop_back(); }), ErrorKind::kBadData,
       dir.File("cut")},
      {"grown", damaged("grown", [](std::string& b) { b += "more\n"; }), ErrorKind::kBadData,
       dir.File("grown")},
      {"magic", damaged("magic", [](std::string& b) { b[0] = 'X'; }), ErrorKind::kBadData,
       dir.File("magic")},
      {"version", damaged("version", set32(8, 2)), ErrorKind::kBadData, dir.File("version")},
      {"slots not a power of two", damaged("slots", set32(12, 15)), ErrorKind::kBadData,
       dir.File("slots")},
      {"more words than slots", damaged("words", set32(16, 1000)), ErrorKind::kBadData,
       dir.File("words")},
      {"text size", damaged("text", set32(20, 3)), ErrorKind::kBadData, dir.File("text")},
  });
}

// Slots that point anywhere, filled or not, cost no read beyond the file and no endless probe.
TEST(WordTable, SurvivesSlotsOfAnyValue) {
  test::TempDir dir;
  std::string bytes = WordTableBytes(Lexicon(kList), {});
  for (std::uint32_t fill : {0xffffffffu, 1u, 0x7fffffffu}) {
    for (std::size_t at = 48; at + 4 <= 48 + 16 * 4; at += 4) std::memcpy(&bytes[at], &fill, 4);
    WriteBytes(dir.File("t"), bytes);
    const WordTable table = OpenWordTable(dir.File("t"));
    for (const char* q : kQueries) table.Words.Contains(q);
  }
}

void SetModified(const std::string& file, long seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  utimensat(AT_FDCWD, file.c_str(), times, 0);
}

TEST(WordTable, InstalledLexiconTakesTheTableOnlyForTheListAsItIs) {
  test::TempDir dir;
  const std::string list = dir.File("list"), other = dir.File("other");
  const std::string table = dir.File("words.table"), damaged = dir.File("damaged.table");
  // A table made from another list of the same size and time tells where an answer came
  // from: it holds "kelsby", the list does not.
  WriteBytes(list, "harbour\nferry\n");
  WriteBytes(other, "kelsby\nferrxx\n");
  SetModified(list, 1000000);
  SetModified(other, 1000000);
  WriteWordTable(other, table);
  const std::string bytes = ReadBytes(table);
  WriteBytes(damaged, bytes.substr(0, bytes.size() - 1));
  const struct {
    const char* what;
    std::vector<std::string> tables;
    bool fromTable;
  } cases[] = {
      {"the table", {table}, true},
      {"the first table there", {dir.File("none"), table}, true},
      {"no table", {}, false},
      {"a damaged table", {damaged}, false},
      {"a damaged table, then a good one", {damaged, table}, true},
  };
  for (const auto& c : cases) {
    const Lexicon words = InstalledLexicon(list, c.tables);
    EXPECT_EQ(words.Contains("kelsby"), c.fromTable) << c.what;
    EXPECT_EQ(words.Contains("harbour"), !c.fromTable) << c.what;
  }
  // The list changed since, at the same size: its own words.
  SetModified(list, 1000001);
  EXPECT_TRUE(InstalledLexicon(list, {table}).Contains("harbour"));
  // No list: nothing, whatever the table holds; the tool writes an empty table all the same.
  unlink(list.c_str());
  EXPECT_TRUE(InstalledLexicon(list, {table}).Empty());
  WriteWordTable(list, dir.File("empty.table"));
  EXPECT_TRUE(OpenWordTable(dir.File("empty.table")).Words.Empty());
}

}  // namespace
}  // namespace morvik
