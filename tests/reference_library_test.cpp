// Opening sets and library files: what a set carries, the listing rules of a library file
// (comments, line ends, folders), and the errors that name the library file and its line.
#include "library/reference_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/set_files.h"
#include "error_of.h"
#include "library/set_char_map.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

using test::ErrorOf;
using test::KindAndFileOf;

// A set whose slot 1 is marked with `mark` as the level of its second cell, so sets can be
// told apart; a full first cell keeps opening (which normalises) from stretching it.
void WriteSet(const std::string& base, std::uint8_t mark) {
  TPatternBank bank;
  bank.Slot(1).At(1, 1) = {1, 100};
  bank.Slot(1).At(1, 2) = {1, mark};
  bank.Slot(1).MaxLevel = 100;
  ASSERT_TRUE(SaveReferenceFile(base + ".PCP", bank));
}

std::uint8_t MarkOf(const ReferenceSet& set) {
  return set.Bank.Slot(1).At(1, 2).Level;
}

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir.File("sets"));
    WriteSet(dir.File("sets/digits"), 10);
    WriteSet(dir.File("sets/caps"), 25);
    WriteSet(dir.File("other"), 50);
  }
  test::TempDir dir;
};

TEST_F(Library, SetCarriesItsMapAndSettings) {
  CharMapState chars;
  chars.CharMapLoaded = true;
  chars.CharMap[1] = '0';
  SaveSetCharMap(dir.File("sets/digits"), chars);
  test::WriteFile(dir.File("sets/digits.set.ini"), "[ImageProcessing]\nAutoCrop=1\n");
  const ReferenceSet digits = OpenReferenceSet(dir.File("sets/digits"));
  EXPECT_EQ(digits.Base, dir.File("sets/digits"));
  EXPECT_EQ(MarkOf(digits), 10);
  EXPECT_TRUE(digits.Chars.CharMapLoaded);
  EXPECT_EQ(digits.Chars.CharMap[1], '0');
  EXPECT_EQ(digits.Settings.AutoCrop, true);
  EXPECT_TRUE(digits.Prepared.Ready);
  // A set without either file carries nothing.
  const ReferenceSet caps = OpenReferenceSet(dir.File("sets/caps"));
  EXPECT_FALSE(caps.Chars.CharMapLoaded);
  EXPECT_TRUE(IsEmpty(caps.Settings));
}

TEST_F(Library, SetFilesAreFoundInAnyCaseAndShortFilesLeaveEmptySlots) {
  test::WriteFile(dir.File("lower.pcp"), std::string(PatternRecordSize, '\x01'));
  const ReferenceSet set = OpenReferenceSet(dir.File("lower"));
  EXPECT_EQ(set.Bank.Slot(1).At(1, 1), (TPatternCell{1, 100}));  // read, then settled
  EXPECT_EQ(set.Bank.Slot(2).MaxLevel, 0);                       // nothing more was read
  EXPECT_EQ(set.Bank.Slot(2).At(1, 1), TPatternCell{});
}

// A reference file that cannot be a set is refused, where it would read every character
// as "?" (no reference) or compare with records that are no patterns.
TEST_F(Library, ReferenceFilesThatCannotBeSetsAreRefused) {
  std::string marked(PatternRecordSize, '\0');
  marked[0] = 1;
  const struct {
    std::string name, bytes;
  } cases[] = {
      {"empty", ""},
      {"part", marked + std::string(100, '\1')},
      {"short", std::string(100, '\1')},
      {"blank", std::string(PatternRecordSize * kReferenceCount, '\0')},
      {"mark", std::string(PatternRecordSize, '\2')},
      {"level", marked + std::string(1, '\1') + std::string(PatternRecordSize - 1, '\x65')},
  };
  for (const auto& c : cases) {
    test::WriteFile(dir.File(c.name + ".PCP"), c.bytes);
    const test::Caught e = test::CatchError([&] { OpenReferenceSet(dir.File(c.name)); });
    EXPECT_EQ(e.Kind, ErrorKind::kBadData) << c.name << ": " << e.Message;
    EXPECT_EQ(e.File, dir.File(c.name + ".PCP")) << c.name;
  }
}

TEST_F(Library, SetsThatCannotBeOpenedAreErrors) {
  fs::create_directory(dir.File("folder.PCP"));
  EXPECT_EQ(ErrorOf([&] { OpenReferenceSet(dir.File("none")); }),
            dir.File("none.PCP") + ": no such set file");
  EXPECT_EQ(ErrorOf([&] { OpenReferenceSet(dir.File("folder")); }),
            dir.File("folder.PCP") + ": is not a regular file");
  test::WriteFile(dir.File("other.set.ini"), "[Algorithm]\nTally=high\n");
  EXPECT_NE(ErrorOf([&] { OpenReferenceSet(dir.File("other")); }).find("other.set.ini: "),
            std::string::npos);
}

TEST_F(Library, LibraryFileListsSetsInOrderRelativeToItsFolder) {
  const struct {
    std::string name, text;
  } cases[] = {
      {"lf", "digits\ncaps\n../other\n"},
      {"crlf", "digits\r\ncaps\r\n../other\r\n"},
      {"comments", "# stock sets\r\n\r\n  digits  \n\t# capitals next\ncaps\n\n../other"},
      {"bom",
       "\xEF\xBB\xBF"
       "digits\r\ncaps\r\n../other\r\n"},
      {"absolute", "digits\n" + dir.File("sets/caps") + "\n" + dir.File("other") + "\n"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.File("sets/" + c.name + ".sets");
    test::WriteFile(path, c.text);
    const ReferenceLibrary library = LoadReferenceLibrary(path);
    ASSERT_EQ(library.Sets.size(), 3u) << c.name;
    EXPECT_EQ(MarkOf(library.Sets[0]), 10) << c.name;
    EXPECT_EQ(MarkOf(library.Sets[1]), 25) << c.name;
    EXPECT_EQ(MarkOf(library.Sets[2]), 50) << c.name;
  }
  // A library file named without a folder lists sets of the current folder.
  const fs::path start = fs::current_path();
  fs::current_path(dir.File("sets"));
  test::WriteFile("here.sets", "caps\n");
  EXPECT_EQ(MarkOf(LoadReferenceLibrary("here.sets").Sets[0]), 25);
  fs::current_path(start);
}

TEST_F(Library, NamesMixSetsAndLibraryFilesInTheirOrder) {
  test::WriteFile(dir.File("sets/two.SETS"), "caps\ndigits\n");
  EXPECT_FALSE(IsLibraryFileName(".sets"));
  const ReferenceLibrary library =
      OpenReferenceNames({dir.File("other"), dir.File("sets/two.SETS"), dir.File("sets/caps")});
  std::vector<int> marks;
  for (const ReferenceSet& set : library.Sets) marks.push_back(MarkOf(set));
  EXPECT_EQ(marks, (std::vector<int>{50, 25, 10, 25}));
}

TEST_F(Library, SavedLibraryFilesListTheSameSetsWherever) {
  const std::string path = dir.File("sets/saved.sets");
  SaveLibraryFile(path, {dir.File("sets/caps"), dir.File("other"), dir.File("sets/./digits")});
  EXPECT_EQ(test::ReadFile(path), "caps\r\n" + dir.File("other") + "\r\ndigits\r\n");
  // Names relative to the current folder are listed so that they still name the same sets.
  const fs::path start = fs::current_path();
  fs::current_path(dir.Path());
  SaveLibraryFile("sets/saved.sets", {"sets/digits", "other"});
  fs::current_path(start);
  std::vector<int> marks;
  for (const ReferenceSet& set : LoadReferenceLibrary(path).Sets) marks.push_back(MarkOf(set));
  EXPECT_EQ(marks, (std::vector<int>{10, 50}));
  for (const std::string bad : {"", "#x", " x", "x\t", "a\nb"})
    EXPECT_NE(ErrorOf([&] { SaveLibraryFile(path, {bad}); }).find("cannot list"),
              std::string::npos);
  const test::Caught e =
      test::CatchError([&] { SaveLibraryFile("/nonexistent-folder/l.sets", {"x"}); });
  EXPECT_EQ(e.Kind, ErrorKind::kCannotWrite);
  EXPECT_EQ(e.File, "/nonexistent-folder/l.sets");
}

TEST_F(Library, ErrorsNameTheLibraryFileAndLine) {
  const std::string path = dir.File("sets/all.sets");
  test::WriteFile(path, "# first\r\ndigits\r\nmissing\r\ncaps\r\n");
  EXPECT_EQ(ErrorOf([&] { LoadReferenceLibrary(path); }),
            path + ": line 3: " + dir.File("sets/missing.PCP") + ": no such set file");
  test::WriteFile(dir.File("sets/caps.charmap.txt"), "x\tA\n");
  test::WriteFile(path, "digits\ncaps\n");
  test::Caught e = test::CatchError([&] { LoadReferenceLibrary(path); });
  EXPECT_EQ(e.Kind, ErrorKind::kBadData);
  EXPECT_EQ(e.File, path);
  EXPECT_EQ(
      e.Message.rfind(path + ": line 2: " + dir.File("sets/caps.charmap.txt") + ": line 1: ", 0),
      0u)
      << e.Message;
  // A list that is no list of set names: binary bytes, or a library file in it.
  for (const std::string text : {"digits\n\x89PNG\x1a\x01\n", "digits\nall.sets\n"}) {
    test::WriteFile(path, text);
    e = test::CatchError([&] { LoadReferenceLibrary(path); });
    EXPECT_EQ(e.Kind, ErrorKind::kBadData);
    EXPECT_EQ(e.Message.rfind(path + ": line 2: ", 0), 0u) << e.Message;
  }

  test::WriteFile(dir.File("empty.sets"), "# nothing yet\n\n");
  EXPECT_EQ(ErrorOf([&] { LoadReferenceLibrary(dir.File("empty.sets")); }),
            dir.File("empty.sets") + ": lists no set");
  EXPECT_EQ(ErrorOf([&] { LoadReferenceLibrary(dir.File("none.sets")); }),
            dir.File("none.sets") + ": library file not found");
  fs::create_directory(dir.File("folder.sets"));
  EXPECT_EQ(ErrorOf([&] { LoadReferenceLibrary(dir.File("folder.sets")); }),
            dir.File("folder.sets") + ": is not a regular file");
}

TEST_F(Library, LibrariesAreBounded) {
  std::string text;
  for (int k = 0; k < kMaxLibrarySets; ++k) text += "other\n";
  test::WriteFile(dir.File("full.sets"), text);
  EXPECT_EQ(LoadReferenceLibrary(dir.File("full.sets")).Sets.size(),
            static_cast<std::size_t>(kMaxLibrarySets));
  test::WriteFile(dir.File("over.sets"), text + "# a comment is no set\nother\n");
  EXPECT_EQ(
      ErrorOf([&] { LoadReferenceLibrary(dir.File("over.sets")); }),
      dir.File("over.sets") + ": lists more than " + std::to_string(kMaxLibrarySets) + " sets");
  test::WriteFile(dir.File("huge.sets"), std::string(kMaxLibraryFileBytes + 1, '#'));
  EXPECT_NE(ErrorOf([&] { LoadReferenceLibrary(dir.File("huge.sets")); }).find("is larger than"),
            std::string::npos);
  const std::string tooMany = "more than " + std::to_string(kMaxLibrarySets) + " reference sets";
  EXPECT_EQ(ErrorOf([&] {
              OpenReferenceNames({dir.File("full.sets"), dir.File("other")});
            }),
            tooMany);
  const std::vector<std::string> many(kMaxLibrarySets + 1, dir.File("other"));
  EXPECT_EQ(ErrorOf([&] { OpenReferenceNames(many); }), tooMany);
}

// The bytes of a set file: a record whose mark is no 0 or 1 or whose level (or MaxLevel) is
// above 100 is refused wherever it stands, and so is a file without one marked cell.
TEST(CheckReferenceBytes, RefusesWhatNoPatternHolds) {
  const std::size_t size = PatternRecordSize * 3;
  const struct {
    std::size_t Offset;  // the byte changed, from a file with one marked cell
    std::uint8_t Value;
    bool Good;
  } cases[] = {{0, 1, true},
               {PatternRecordSize + 510, 1, true},
               {2 * PatternRecordSize + 511, 100, true},
               {PatternRecordSize + 2, 2, false},
               {2 * PatternRecordSize + 510, 255, false},
               {PatternRecordSize + 3, 101, false},
               {PatternRecordSize + 512, 101, false},
               {PatternRecordSize + 513, 255, true},  // stored counts are not checked
               {1, 0, true},
               {0, 0, false}};  // no marked cell left
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bytes(size, 0);
    bytes[0] = 1;  // the first cell marked, at full strength
    bytes[1] = 100;
    bytes[c.Offset] = c.Value;
    const auto [kind, file] =
        KindAndFileOf([&] { CheckReferenceBytes(bytes.data(), size, "f.PCP"); });
    if (c.Good)
      EXPECT_EQ(file, "(no error)") << c.Offset << " " << int{c.Value};
    else
      EXPECT_EQ(std::make_pair(kind, file),
                std::make_pair(ErrorKind::kBadData, std::string("f.PCP")))
          << c.Offset << " " << int{c.Value};
  }
}

}  // namespace
}  // namespace morvik
