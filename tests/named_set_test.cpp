// Tests of finding a set as users type its name: the folders in turn, the extension typed
// or not in any case, and entries that are no file.
#include "session/named_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

TEST(NamedSet, FoldersInTurnWithOrWithoutExtension) {
  test::TempDir dir;
  for (const char* folder : {"pics", "start", "home"}) fs::create_directory(dir.File(folder));
  test::WriteFile(dir.File("start/digits.PCP"), "");
  test::WriteFile(dir.File("home/digits.pcp"), "");
  test::WriteFile(dir.File("home/caps.pcp"), "");
  fs::create_directory(dir.File("pics/caps.pcp"));  // no file, but found first
  const std::vector<std::string> folders = {dir.File("pics"), dir.File("start"), dir.File("home"),
                                            dir.File("start")};
  struct Case {
    const char* name;
    std::string found;
    std::size_t tried;
  };
  const Case cases[] = {
      {"digits", dir.File("start/digits.PCP"), 2},
      {"DIGITS.pcp", dir.File("start/digits.PCP"), 2},
      {"digits.Pcp", dir.File("start/digits.PCP"), 2},
      {"caps", dir.File("pics/caps.pcp"), 1},
      {"none", "", 3},  // the start folder named twice is looked in once
      {".pcp", "", 3},  // an extension alone is a name
      {"", "", 0},
  };
  for (const Case& c : cases) {
    const NamedSet set = FindNamedSet(c.name, folders);
    EXPECT_EQ(set.File, c.found) << c.name;
    EXPECT_EQ(set.Tried.size(), c.tried) << c.name;
  }
  EXPECT_EQ(FindNamedSet("none", folders).Tried,
            (std::vector<std::string>{dir.File("pics/none.pcp"), dir.File("start/none.pcp"),
                                      dir.File("home/none.pcp")}));
  // An absolute name is the same file from every folder.
  EXPECT_EQ(FindNamedSet(dir.File("home/caps"), folders).File, dir.File("home/caps.pcp"));
  EXPECT_EQ(FindNamedSet(dir.File("home/none"), folders).Tried.size(), 1u);
}

}  // namespace
}  // namespace morvik
