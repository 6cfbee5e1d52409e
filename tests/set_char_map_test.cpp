// A set's own character map: written in charmap.txt's format and read back by its rules,
// missing and refused files, and what cannot be written.
#include "library/set_char_map.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "error_of.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

using test::ErrorOf;
using test::KindAndFileOf;

TEST(SetCharMap, WritesCharmapFormatWithCrLf) {
  test::TempDir dir;
  CharMapState chars;
  chars.CharMapLoaded = true;
  chars.CharMap[1] = '0';
  chars.CharMap[12] = 'B';
  chars.CharMap[40] = ' ';
  chars.CharMap[0] = '?';
  SaveSetCharMap(dir.File("digits"), chars);
  EXPECT_EQ(test::ReadFile(dir.File("digits.charmap.txt")), "0\t?\r\n1\t0\r\n12\tB\r\n40\t \r\n");
  // The program's own map reader reads it as the set's loader does.
  CharMapState viaRuns;
  EXPECT_EQ(LoadCharMap(dir.File("digits.charmap.txt"), viaRuns), "");
  EXPECT_EQ(viaRuns.CharMap, chars.CharMap);
}

TEST(SetCharMap, EveryWritableByteComesBack) {
  test::TempDir dir;
  for (int first = 1; first < 256; first += 41) {
    CharMapState chars;
    chars.CharMapLoaded = true;
    for (int n = 0; n <= 40; ++n) {
      const int c = (first + n - 1) % 255 + 1;
      chars.CharMap[n] = (c == '\r' || c == '\n') ? 'x' : static_cast<char>(c);
    }
    SaveSetCharMap(dir.File("set"), chars);
    const CharMapState back = LoadSetCharMap(dir.File("set"));
    EXPECT_TRUE(back.CharMapLoaded);
    EXPECT_EQ(back.CharMap, chars.CharMap) << first;
  }
}

TEST(SetCharMap, MissingFileMeansNoMapAndNamesAreFoundInAnyCase) {
  test::TempDir dir;
  EXPECT_FALSE(LoadSetCharMap(dir.File("none")).CharMapLoaded);
  test::WriteFile(dir.File("DIGITS.CHARMAP.TXT"), "3\tq\n");
  const CharMapState chars = LoadSetCharMap(dir.File("digits"));
  EXPECT_TRUE(chars.CharMapLoaded);
  EXPECT_EQ(chars.CharMap[3], 'q');
}

// A map that cannot be what it claims is refused, naming the file and, for a line that is
// no entry, the line: lenient reading made a damaged line a blank (a false word break) and an
// empty map "?" for everything.
TEST(SetCharMap, BadFilesAreErrorsNamingFileAndLine) {
  test::TempDir dir;
  fs::create_directory(dir.File("folder.charmap.txt"));
  test::WriteFile(dir.File("big.charmap.txt"), std::string(kMaxSetFileBytes + 1, ' '));
  test::WriteFile(dir.File("limit.charmap.txt"),
                  "1\tA\r\n" + std::string(kMaxSetFileBytes - 5, ' '));
  const struct {
    std::string base, text;
    ErrorKind kind;
    int line;  // named in the message; 0 for none
  } cases[] = {
      {"bad", "1\tA\r\nx\tB\r\n", ErrorKind::kBadData, 2},
      {"several", "1\tA\r\n5\tXYZ\r\n", ErrorKind::kBadData, 2},
      {"none", "5\t\r\n", ErrorKind::kBadData, 1},
      {"blank", "5 A\r\n", ErrorKind::kBadData, 1},
      {"range", "\r\n41\tA\r\n", ErrorKind::kBadData, 2},
      {"twice", "3\tA\n3\tB\n", ErrorKind::kBadData, 2},
      {"empty", "", ErrorKind::kBadData, 0},
      {"blanks", " \r\n\r\n", ErrorKind::kBadData, 0},
      {"folder", "", ErrorKind::kCannotRead, 0},
      {"big", "", ErrorKind::kTooLarge, 0},
  };
  for (const auto& c : cases) {
    const std::string file = dir.File(c.base + ".charmap.txt");
    if (!fs::exists(file)) test::WriteFile(file, c.text);
    const test::Caught e = test::CatchError([&] { LoadSetCharMap(dir.File(c.base)); });
    EXPECT_TRUE(e.Thrown) << c.base;
    EXPECT_EQ(e.Kind, c.kind) << c.base;
    EXPECT_EQ(e.File, file) << c.base;
    if (c.line > 0) {
      EXPECT_EQ(e.Message.rfind(file + ": line " + std::to_string(c.line) + ": ", 0), 0u)
          << e.Message;
    }
  }
  EXPECT_EQ(LoadSetCharMap(dir.File("limit")).CharMap[1], 'A');
  // What the format can hold comes through: a TAB or a blank as the character, blank lines.
  test::WriteFile(dir.File("odd.charmap.txt"), "\r\n 7\t\t\r\n8\t \n\n");
  const CharMapState odd = LoadSetCharMap(dir.File("odd"));
  EXPECT_EQ(odd.CharMap[7], '\t');
  EXPECT_EQ(odd.CharMap[8], ' ');
}

TEST(SetCharMap, WhatCannotBeWrittenAndAnUnloadedMapRemovesTheFile) {
  test::TempDir dir;
  CharMapState chars;
  chars.CharMapLoaded = true;
  chars.CharMap[2] = 'A';
  SaveSetCharMap(dir.File("set"), chars);
  for (char c : {'\r', '\n'}) {
    CharMapState bad = chars;
    bad.CharMap[7] = c;
    EXPECT_NE(ErrorOf([&] { SaveSetCharMap(dir.File("set"), bad); }).find("pattern 7"),
              std::string::npos);
  }
  EXPECT_EQ(test::ReadFile(dir.File("set.charmap.txt")), "2\tA\r\n");  // left as it was
  SaveSetCharMap(dir.File("set"), CharMapState{});
  EXPECT_FALSE(fs::exists(dir.File("set.charmap.txt")));
  SaveSetCharMap(dir.File("set"), CharMapState{});  // nothing to remove is no error
  const test::Caught e =
      test::CatchError([&] { SaveSetCharMap("/nonexistent-folder/set", chars); });
  EXPECT_EQ(e.Kind, ErrorKind::kCannotWrite);
  EXPECT_EQ(e.File, "/nonexistent-folder/set.charmap.txt");
  EXPECT_NE(e.Message.find(std::strerror(ENOENT)), std::string::npos) << e.Message;
}

}  // namespace
}  // namespace morvik
