// Every writer of the picture routes (cut bitmaps and their marker, --boxes pictures, the
// files of a set and a library) replaces a link planted where it writes, and never writes to
// the file the link names; and a set is saved whole or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "image/bmp_writer.h"
#include "image/png_writer.h"
#include "learning/cut_folder.h"
#include "learning/learned_set.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_detail.h"
#include "library/set_settings.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// A set with something in every file, so that each is written (none removed).
LearnedSet FullSet(char c) {
  LearnedSet set;
  set.Count = 1;
  set.Bank.Slot(1).Cells[0] = TPatternCell{1, static_cast<std::uint8_t>(c)};
  set.Chars.CharMapLoaded = true;
  set.Chars.CharMap[1] = c;
  set.Settings.Tally = 75;
  set.Detail.Ref(1).Valid = true;
  set.Detail.Ref(1).InkWidth = static_cast<std::uint16_t>(c);
  return set;
}

// One blank character, 1_0.bmp.
PictureReading OneBlank() {
  PictureReading reading;
  ReadCharacter c;
  c.Blank = true;
  reading.Chars.push_back(c);
  return reading;
}

TEST(PlantedLinks, EveryWriterReplacesTheLinkAndSparesItsTarget) {
  const Bitmap picture(4, 4);
  const struct {
    const char* Name;  // the file written, where the link is planted
    std::function<void(const std::string& dir)> Write;
  } cases[] = {
      {"x.bmp", [&](const std::string& d) { WriteBmpFile(d + "/x.bmp", picture); }},
      {"x.png", [&](const std::string& d) { WritePngFile(d + "/x.png", picture); }},
      {"s.charmap.txt", [](const std::string& d) { SaveSetCharMap(d + "/s", FullSet('A').Chars); }},
      {"s.set.ini", [](const std::string& d) { SaveSetSettings(d + "/s", FullSet('A').Settings); }},
      {"s.detail",
       [](const std::string& d) {
         ReplacementGroup group;
         StageSetDetail(group, d + "/s", FullSet('A').Detail);
         group.Commit();
       }},
      {"l.sets", [](const std::string& d) { SaveLibraryFile(d + "/l.sets", {d + "/s"}); }},
      {"s.PCP",
       [](const std::string& d) {
         LearnedSet set = FullSet('A');
         SaveLearnedSet(d + "/s", set);
       }},
      {"s.PCT",
       [](const std::string& d) {
         LearnedSet set = FullSet('A');
         SaveLearnedSet(d + "/s", set);
       }},
      {"cut/1_0.bmp",
       [&](const std::string& d) { WriteCutFolder(picture, OneBlank(), d + "/cut"); }},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    fs::create_directory(dir.File("cut"));
    test::WriteFile(dir.File("victim"), "precious");
    fs::create_symlink(dir.File("victim"), dir.File(c.Name));
    if (std::string(c.Name) == "cut/1_0.bmp")  // a link among an earlier cut's files
      test::WriteFile(dir.File("cut/.morvik-cut"),
                      "# files written by morvik --read --cut\n1_0.bmp\n");
    c.Write(dir.Path());
    EXPECT_EQ(test::ReadFile(dir.File("victim")), "precious") << c.Name;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File(c.Name)))) << c.Name;
  }
}

// Saving over an old set when one of its files may not be replaced leaves the old set as it
// was, byte for byte, with no temporaries beside it; whichever file it is.
TEST(SetSaving, AReadOnlyFileLeavesTheOldSetWhole) {
  for (const char* locked : {"s.PCP", "s.PCT", "s.charmap.txt", "s.set.ini", "s.detail"}) {
    test::TempDir dir;
    LearnedSet old = FullSet('A');
    SaveLearnedSet(dir.File("s"), old);
    const std::vector<std::string> names = test::FolderEntries(dir.Path());
    std::vector<std::string> bytes;
    for (const std::string& n : names) bytes.push_back(test::ReadFile(dir.File(n)));
    chmod(dir.File(locked).c_str(), 0444);

    LearnedSet next = FullSet('B');
    try {
      SaveLearnedSet(dir.File("s"), next);
      ADD_FAILURE() << locked << " was replaced";
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite) << locked;
      EXPECT_EQ(e.File(), dir.File(locked));
    }
    EXPECT_EQ(test::FolderEntries(dir.Path()), names) << locked;
    for (std::size_t k = 0; k < names.size(); ++k)
      EXPECT_EQ(test::ReadFile(dir.File(names[k])), bytes[k]) << locked << " " << names[k];
  }
}

// Several sets and their library file go as one too: a name the library file cannot list
// stops the save before any file is made.
TEST(SetSaving, SeveralSetsLeaveNothingBehindOnFailure) {
  test::TempDir dir;
  std::vector<LearnedSet> sets = {FullSet('A'), FullSet('B')};
  EXPECT_THROW(SaveLearnedSets(dir.File("bad\nname"), sets), Error);
  EXPECT_TRUE(test::FolderEntries(dir.Path()).empty());

  EXPECT_EQ(SaveLearnedSets(dir.File("two"), sets), dir.File("two.sets"));
  EXPECT_EQ(test::FolderEntries(dir.Path()).size(), 11u);
  EXPECT_EQ(LoadSetCharMap(dir.File("two-2")).CharMap[1], 'B');
}

}  // namespace
}  // namespace morvik
