// A set's own character map: written in charmap.txt's format and read back by its rules,
// missing and refused files, and what cannot be written.
#include "library/set_char_map.h"

#include <gtest/gtest.h>

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

TEST(SetCharMap, BadFilesAreErrorsNamingTheFile) {
  test::TempDir dir;
  test::WriteFile(dir.File("bad.charmap.txt"), "1\tA\r\nx\tB\r\n");
  fs::create_directory(dir.File("folder.charmap.txt"));
  test::WriteFile(dir.File("big.charmap.txt"), std::string(kMaxSetFileBytes + 1, ' '));
  test::WriteFile(dir.File("limit.charmap.txt"), std::string(kMaxSetFileBytes, ' '));
  const struct {
    std::string base, problem;
  } cases[] = {{"bad", "Invalid numeric input"},
               {"folder", "is not a regular file"},
               {"big", "is larger than"}};
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] { LoadSetCharMap(dir.File(c.base)); });
    EXPECT_EQ(message.rfind(dir.File(c.base + ".charmap.txt") + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(c.problem), std::string::npos) << message;
  }
  EXPECT_TRUE(LoadSetCharMap(dir.File("limit")).CharMapLoaded);
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
  EXPECT_EQ(
      KindAndFileOf([&] { SaveSetCharMap("/nonexistent-folder/set", chars); }),
      std::make_pair(ErrorKind::kCannotWrite, std::string("/nonexistent-folder/set.charmap.txt")));
}

}  // namespace
}  // namespace morvik
