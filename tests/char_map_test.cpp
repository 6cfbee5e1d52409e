// Tests of the character map: the integer-reading rules, the TAB rule, overriding lines,
// numbers outside the map, and what an invalid number leaves behind.
#include "core/char_map.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "test_util.h"

namespace morvik {
namespace {

struct MapCase {
  const char* name;
  std::string text;
  std::map<int, char> entries;  // every other entry must stay byte 0
  bool invalid = false;
  int line = 0;  // of the invalid number, from 1
};

void PrintTo(const MapCase& c, std::ostream* os) {
  *os << c.name;
}

class CharMapLines : public testing::TestWithParam<MapCase> {};

TEST_P(CharMapLines, SetsExactlyTheNamedEntries) {
  const MapCase& c = GetParam();
  CharMapState state;
  int line = -1;
  const std::string problem = ParseCharMap(c.text, state, &line);
  EXPECT_EQ(problem, c.invalid ? "Invalid numeric input" : "");
  EXPECT_EQ(line, c.line);
  for (int n = 0; n <= 40; ++n) {
    const auto it = c.entries.find(n);
    EXPECT_EQ(state.CharMap[static_cast<std::size_t>(n)], it == c.entries.end() ? '\0' : it->second)
        << "entry " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CharMapLines,
    testing::Values(
        MapCase{"TabAndLetter", "5\tA\r\n", {{5, 'A'}}},
        MapCase{"BlankInsteadOfTab", "5 A\r\n", {{5, ' '}}},
        MapCase{"TwoCharactersAfterTab", "5\tAB\r\n", {{5, ' '}}},
        MapCase{"NothingAfterNumber", "5\r\n", {{5, ' '}}},
        MapCase{"TabAlone", "5\t\r\n", {{5, ' '}}}, MapCase{"TabAndBlank", "5\t \r\n", {{5, ' '}}},
        MapCase{"TabAndTab", "5\t\t\r\n", {{5, '\t'}}},
        MapCase{"LeadingBlanksBeforeNumber", "  \t12\tZ\r\n", {{12, 'Z'}}},
        MapCase{"PlusSign", "+7\tQ\r\n", {{7, 'Q'}}},
        MapCase{"LfOnly", "1\t0\n2\t1\n", {{1, '0'}, {2, '1'}}},
        MapCase{"NoFinalLineEnd", "1\t0\r\n40\tZ", {{1, '0'}, {40, 'Z'}}},
        MapCase{"EmptyLineBetweenIsSkipped", "1\ta\r\n\r\n2\tb\r\n", {{1, 'a'}, {2, 'b'}}},
        MapCase{"EmptyLinesAtEndSetEntryZero", "3\tc\r\n\r\n\r\n", {{3, 'c'}, {0, ' '}}},
        MapCase{"BlankLineAtEndSetsEntryZero", "3\tc\r\n  \r\n", {{3, 'c'}, {0, ' '}}},
        MapCase{"ExplicitZero", "0\t?\r\n", {{0, '?'}}},
        MapCase{"LaterLineOverrides", "9\tx\r\n9\ty\r\n9 z\r\n", {{9, ' '}}},
        MapCase{"LaterLineOverridesBack", "9 z\r\n9\ty\r\n", {{9, 'y'}}},
        MapCase{"OutsideRangeIgnored", "41\tq\r\n-1\tr\r\n100000\ts\r\n40\tt\r\n", {{40, 't'}}},
        MapCase{"HugeNumberIsInvalid", "1\ta\r\n99999999999\tb\r\n2\tc\r\n", {{1, 'a'}}, true, 2},
        MapCase{"LetterIsInvalid", "1\ta\r\nx\tb\r\n2\tc\r\n", {{1, 'a'}}, true, 2},
        MapCase{"DigitsThenLetterIsInvalid", "1\ta\r\n2b\tc\r\n", {{1, 'a'}}, true, 2},
        MapCase{"SignAloneIsInvalid", "-\ta\r\n", {}, true, 1},
        MapCase{"HexIsInvalid", "0x5\ta\r\n", {}, true, 1},
        MapCase{"InvalidAfterEmptyLinesCountsThem", "1\ta\r\n\r\n\n  \tx\r\n", {{1, 'a'}}, true, 4},
        MapCase{"EmptyFile", "", {}}),
    [](const testing::TestParamInfo<MapCase>& info) { return info.param.name; });

TEST(CharMapFile, MissingFileLeavesMapUnloaded) {
  test::TempDir dir;
  CharMapState state;
  state.CharMapLoaded = true;
  EXPECT_EQ(LoadCharMap(dir.File("charmap.txt"), state), "");
  EXPECT_FALSE(state.CharMapLoaded);
}

TEST(CharMapFile, LoadsFileAndFindsNameInAnyCase) {
  test::TempDir dir;
  test::WriteFile(dir.File("CharMap.TXT"), "1\t0\r\n10\t9\r\n");
  CharMapState state;
  EXPECT_EQ(LoadCharMap(dir.File("charmap.txt"), state), "");
  EXPECT_TRUE(state.CharMapLoaded);
  EXPECT_EQ(state.CharMap[1], '0');
  EXPECT_EQ(state.CharMap[10], '9');
}

TEST(CharMapFile, InvalidNumberKeepsEarlierEntriesAndStaysLoaded) {
  test::TempDir dir;
  test::WriteFile(dir.File("charmap.txt"), "1\ta\r\n2\tb\r\nthree\tc\r\n4\td\r\n");
  CharMapState state;
  const std::string problem = LoadCharMap(dir.File("charmap.txt"), state);
  EXPECT_EQ(problem, dir.File("charmap.txt") + ": Invalid numeric input");
  EXPECT_TRUE(state.CharMapLoaded);
  EXPECT_EQ(state.CharMap[1], 'a');
  EXPECT_EQ(state.CharMap[2], 'b');
  EXPECT_EQ(state.CharMap[4], '\0');
}

// A map larger than the cap (here a sparse 1 GB file) is refused before anything is read,
// and a map that cannot be read never counts as loaded.
TEST(CharMapFile, OversizedOrUnreadableMapIsReportedAndNotLoaded) {
  test::TempDir dir;
  test::WriteFile(dir.File("charmap.txt"), "1\ta\r\n");
  std::filesystem::resize_file(dir.File("charmap.txt"), 1000000000);
  std::filesystem::create_directory(dir.File("folder.txt"));
  const std::pair<const char*, const char*> cases[] = {
      {"charmap.txt", ": is too large (more than 1048576 bytes)"},
  };
  for (const auto& [name, problem] : cases) {
    CharMapState state;
    EXPECT_EQ(LoadCharMap(dir.File(name), state), dir.File(name) + problem);
    EXPECT_FALSE(state.CharMapLoaded) << name;
    EXPECT_EQ(state.CharMap[1], '\0') << name;
  }
  // A folder or FIFO of that name is no map at all (and is never opened).
  ASSERT_EQ(mkfifo(dir.File("fifo.txt").c_str(), 0666), 0);
  for (const char* name : {"folder.txt", "fifo.txt"}) {
    CharMapState state;
    EXPECT_EQ(LoadCharMap(dir.File(name), state), "") << name;
    EXPECT_FALSE(state.CharMapLoaded) << name;
  }
}

}  // namespace
}  // namespace morvik
