// A cut goes into a new or empty folder, or one an earlier cut made, where it removes only
// what that cut listed; any other folder is refused untouched.
#include "learning/cut_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

const std::string kMarker = "# files written by morvik --read --cut\n";

// Characters at 1_0 and 1_1 (blanks, so that no picture work is needed).
PictureReading TwoBlanks() {
  PictureReading reading;
  for (int column = 0; column < 2; ++column) {
    ReadCharacter c;
    c.Column = column;
    c.Blank = true;
    reading.Chars.push_back(c);
  }
  return reading;
}

TEST(CutFolder, WritesOnlyWhereNothingOfAnyoneElseIsLost) {
  using Files = std::vector<std::pair<std::string, std::string>>;
  using Names = std::vector<std::string>;
  const struct {
    const char* Case;
    Files Before;  // in the folder "cut"; no entry: the folder is not there
    bool Refused;
    std::string FailedFile;  // below the test folder
    Names After;             // the folder's names afterwards
  } cases[] = {
      {"new folder", {}, false, "", {".morvik-cut", "1_0.bmp", "1_1.bmp"}},
      {"empty folder", {{"", ""}}, false, "", {".morvik-cut", "1_0.bmp", "1_1.bmp"}},
      {"the user's pictures",
       {{"1_0.bmp", "mine"}, {"photo.bmp", "mine"}},
       true,
       "cut",
       {"1_0.bmp", "photo.bmp"}},
      {"a look-alike marker",
       {{".morvik-cut", "1_0.bmp\n"}, {"1_0.bmp", "mine"}},
       true,
       "cut",
       {".morvik-cut", "1_0.bmp"}},
      {"an earlier cut and the user's notes",
       {{".morvik-cut", kMarker + "1_0.bmp\n2_0.bmp\n"},
        {"1_0.bmp", "old"},
        {"2_0.bmp", "old"},
        {"notes.txt", "mine"},
        {"result.txt", "mine"}},
       false,
       "",
       {".morvik-cut", "1_0.bmp", "1_1.bmp", "notes.txt", "result.txt"}},
      {"a file of the user's where the cut writes",
       {{".morvik-cut", kMarker + "2_0.bmp\n"}, {"2_0.bmp", "old"}, {"1_1.bmp", "mine"}},
       true,
       "cut/1_1.bmp",
       {".morvik-cut", "1_1.bmp", "2_0.bmp"}},
      {"a marker naming files outside",
       {{".morvik-cut", kMarker + "../victim.bmp\n/tmp/x_1.bmp\n"}},
       false,
       "",
       {".morvik-cut", "1_0.bmp", "1_1.bmp"}},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::WriteFile(dir.File("victim.bmp"), "precious");
    for (const auto& [name, bytes] : c.Before) {
      fs::create_directories(dir.File("cut"));
      if (!name.empty()) test::WriteFile(dir.File("cut/" + name), bytes);
    }
    try {
      WriteCutFolder(Bitmap(4, 4), TwoBlanks(), dir.File("cut"));
      EXPECT_FALSE(c.Refused) << c.Case;
    } catch (const Error& e) {
      EXPECT_TRUE(c.Refused) << c.Case << ": " << e.what();
      EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite) << c.Case;
      EXPECT_EQ(e.File(), dir.File(c.FailedFile)) << c.Case;
    }
    EXPECT_EQ(test::FolderEntries(dir.File("cut")), c.After) << c.Case;
    EXPECT_EQ(test::ReadFile(dir.File("victim.bmp")), "precious") << c.Case;
    for (const auto& [name, bytes] : c.Before)
      if (bytes == "mine") {
        EXPECT_EQ(test::ReadFile(dir.File("cut/" + name)), "mine") << c.Case;
      }
  }
}

}  // namespace
}  // namespace morvik
