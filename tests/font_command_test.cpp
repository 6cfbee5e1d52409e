// The --learn-font command: what it saves, and its exit statuses and messages.
#include "cli/font_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "font_files.h"
#include "library/reference_library.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int Status;
  std::string Out, Err;
};

Outcome Call(const std::vector<std::string>& args, const std::string& start) {
  std::ostringstream out, err;
  const int status = RunFontCommand(args, start, out, err);
  return {status, out.str(), err.str()};
}

TEST(FontCommand, Recognised) {
  EXPECT_TRUE(IsFontCommand({"--chars", "0", "--learn-font", "f"}));
  EXPECT_TRUE(IsFontCommand({"--learn-font=f"}));
  EXPECT_TRUE(IsFontCommand({"--learn", "f", "--save", "b", "--learn-font"}));
  EXPECT_FALSE(IsFontCommand({"folder", "--learn-fonts"}));
}

TEST(FontCommand, SavesOneSetOrALibrary) {
  if (!test::FontInstalled(test::kDejaVuSans)) GTEST_SKIP() << "no fonts-dejavu-core";
  test::TempDir dir;
  Outcome r =
      Call({"--learn-font", test::kDejaVuSans, "--chars", "0-9", "--save", "digits"}, dir.Path());
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "learned 10 references in 1 set: " + dir.File("digits") + "\n");
  for (const char* ext : {".PCP", ".PCT", ".charmap.txt", ".set.ini", ".detail"})
    EXPECT_TRUE(fs::is_regular_file(dir.File(std::string("digits") + ext))) << ext;
  r = Call({"--learn-font=" + test::kDejaVuSans, "--chars=A-Z", "--size", "20,30", "--size=50",
            "--save", "caps"},
           dir.Path());
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "learned 78 references in 2 sets: " + dir.File("caps.sets") + "\n");
  EXPECT_EQ(OpenReferenceNames({dir.File("caps.sets")}).Sets.size(), 2u);
}

TEST(FontCommand, RefusesWithStatusAndMessage) {
  test::TempDir dir;
  const std::string font = test::kDejaVuSans;
  const struct {
    std::vector<std::string> Args;
    int Status;
    std::string Says;
  } cases[] = {
      {{"--learn-font", font, "--save", "x"}, 3, "needs --chars"},
      {{"--learn-font", font, "--chars", "0"}, 3, "needs --save"},
      {{"--learn-font", font, "--chars", "0", "--save"}, 3, "option --save needs a value"},
      {{"--learn-font", font, "--chars", "0", "--save", "x", "--black"},
       3,
       "unknown option --black"},
      {{"--learn-font", font, "--chars", "0", "--save", "x", "extra"}, 3, "unexpected argument"},
      {{"--learn-font", font, "--chars", "9-0", "--save", "x"}, 3, "reversed"},
      {{"--learn-font", font, "--chars", "\xC3\xA9", "--save", "x"}, 3, "U+00E9"},
      {{"--learn-font", font, "--chars", "0", "--size", "12,", "--save", "x"}, 3, "--size"},
      {{"--learn-font", font, "--chars", "0", "--size", "1001", "--save", "x"}, 3, "--size"},
      {{"--learn-font", "none.ttf", "--chars", "0", "--save", "x"}, 1, "none.ttf"},
      {{"--learn-font", font, "--chars", "0", "--save", "no/such/dir/x"}, 1, "no/such/dir/x"},
      {{"--learn-font", font, "--chars", "0", "--save", ""}, 3, "needs --save"},
      {{"--learn-font", font, "--chars", "0", "--save", "a\nb"}, 3, "line end"},
      {{"--learn-font", font, "--chars", "0", "--save", "sub/"}, 3, "name of a set"},
  };
  for (const auto& c : cases) {
    const Outcome r = Call(c.Args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << c.Says << ": " << r.Err;
    EXPECT_EQ(r.Err.rfind("morvik: ", 0), 0u) << r.Err;
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  EXPECT_TRUE(test::FolderEntries(dir.Path()).empty());  // nothing left by any refusal
}

// The set saved over the font it learns from (by name in any case, through a link, as one of
// the sets of a library) would leave no font: refused, naming the font, before any write.
TEST(FontCommand, SaveOverTheFontIsRefused) {
  if (!test::FontInstalled(test::kDejaVuSans)) GTEST_SKIP() << "no fonts-dejavu-core";
  test::TempDir dir;
  const struct {
    std::string Font, Link;  // the font's copy, and a link to it ("": none)
    std::vector<std::string> Save;
  } cases[] = {
      {"own.PCP", "", {"--save", "own"}},
      {"Own.pct", "", {"--save", "own"}},
      {"font.ttf", "via.set.ini", {"--save", "via"}},
      {"caps-2.detail", "", {"--size", "20,30", "--save", "caps"}},
  };
  for (const auto& c : cases) {
    fs::copy_file(test::kDejaVuSans, dir.File(c.Font));
    if (!c.Link.empty()) fs::create_symlink(c.Font, dir.File(c.Link));
    const std::vector<std::string> before = test::FolderEntries(dir.Path());
    std::vector<std::string> args{"--learn-font", c.Font, "--chars", "A-Z"};
    args.insert(args.end(), c.Save.begin(), c.Save.end());
    const Outcome r = Call(args, dir.Path());
    EXPECT_EQ(r.Status, 3) << c.Font;
    EXPECT_EQ(r.Err.rfind("morvik: " + dir.File(c.Font) + ": ", 0), 0u) << r.Err;
    EXPECT_EQ(test::FolderEntries(dir.Path()), before);
    EXPECT_EQ(test::ReadFile(dir.File(c.Font)), test::ReadFile(test::kDejaVuSans));
  }
}

}  // namespace
}  // namespace morvik
