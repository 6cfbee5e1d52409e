// Several files replaced as one: after a failure at any step the folder holds exactly what it
// held before, byte for byte and name for name; after success only the new files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/safe_write.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// The system's rename, failing (as a full or read-only disk would) at call number gFailAt.
int gCalls = 0, gFailAt = 0;
int FailingRename(const char* from, const char* to) {
  if (++gCalls == gFailAt) {
    errno = EIO;
    return -1;
  }
  return std::rename(from, to);
}

// a and c exist, b is new, d is to be removed.
struct Folder {
  test::TempDir dir;
  Folder() {
    test::WriteFile(dir.File("a"), "old a");
    test::WriteFile(dir.File("c"), "old c");
    test::WriteFile(dir.File("d"), "old d");
  }
  void Stage(ReplacementGroup& group) {
    group.Replace(dir.File("a"), "new a");
    group.Replace(dir.File("b"), "new b");
    group.Remove(dir.File("d"));
    group.Replace(dir.File("c"), "new c");
  }
};

TEST(ReplacementGroup, AFailedRenameAtAnyStepPutsEverythingBack) {
  for (int failAt = 1; failAt <= 3; ++failAt) {
    Folder f;
    const std::vector<std::string> before = test::FolderEntries(f.dir.Path());
    gCalls = 0;
    gFailAt = failAt;
    ReplacementGroup group(&FailingRename);
    f.Stage(group);
    const std::string failing = failAt == 1 ? "a" : failAt == 2 ? "b" : "c";
    try {
      group.Commit();
      ADD_FAILURE() << "no failure at rename " << failAt;
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite);
      EXPECT_EQ(e.File(), f.dir.File(failing));
    }
    EXPECT_EQ(test::FolderEntries(f.dir.Path()), before) << failAt;
    EXPECT_EQ(test::ReadFile(f.dir.File("a")), "old a");
    EXPECT_EQ(test::ReadFile(f.dir.File("c")), "old c");
    EXPECT_EQ(test::ReadFile(f.dir.File("d")), "old d");
  }
}

TEST(ReplacementGroup, CommitLeavesOnlyTheNewFiles) {
  Folder f;
  ReplacementGroup group;
  f.Stage(group);
  group.Commit();
  EXPECT_EQ(test::FolderEntries(f.dir.Path()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(test::ReadFile(f.dir.File("b")), "new b");
  EXPECT_EQ(test::ReadFile(f.dir.File("c")), "new c");
}

// A file that may not be replaced is found while staging: nothing is renamed, and the
// temporaries already written go with the group.
TEST(ReplacementGroup, AReadOnlyFileStopsTheGroupBeforeAnyRename) {
  Folder f;
  chmod(f.dir.File("c").c_str(), 0444);
  const std::vector<std::string> before = test::FolderEntries(f.dir.Path());
  try {
    ReplacementGroup group;
    f.Stage(group);
    ADD_FAILURE() << "a read-only file was staged";
  } catch (const Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite);
    EXPECT_EQ(e.File(), f.dir.File("c"));
  }
  EXPECT_EQ(test::FolderEntries(f.dir.Path()), before);
  EXPECT_EQ(test::ReadFile(f.dir.File("a")), "old a");
}

}  // namespace
}  // namespace morvik
