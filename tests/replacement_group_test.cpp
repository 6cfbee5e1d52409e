// Several files replaced as one: after a failure at any step the folder holds exactly what it
// held before, byte for byte and name for name; after success only the new files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/safe_write.h"
#include "error_of.h"
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

// Rename 0 never fails: the group then leaves the new files and nothing else.
TEST(ReplacementGroup, AFailedRenameAtAnyStepPutsEverythingBack) {
  const char* failing[] = {"", "a", "b", "c"};  // the file of each rename
  for (int failAt = 0; failAt <= 3; ++failAt) {
    Folder f;
    gCalls = 0;
    gFailAt = failAt;
    ReplacementGroup group(&FailingRename);
    f.Stage(group);
    try {
      group.Commit();
      EXPECT_EQ(failAt, 0) << "no failure at rename " << failAt;
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite);
      EXPECT_EQ(e.File(), f.dir.File(failing[failAt]));
    }
    const std::string state = failAt == 0 ? "new " : "old ";
    const std::vector<std::string> after = failAt == 0 ? std::vector<std::string>{"a", "b", "c"}
                                                       : std::vector<std::string>{"a", "c", "d"};
    EXPECT_EQ(test::FolderEntries(f.dir.Path()), after) << failAt;
    EXPECT_EQ(test::ReadFile(f.dir.File("a")), state + "a") << failAt;
    EXPECT_EQ(test::ReadFile(f.dir.File("c")), state + "c") << failAt;
    if (failAt > 0) {
      EXPECT_EQ(test::ReadFile(f.dir.File("d")), "old d");
    }
  }
}

// A sidecar a set no longer needs is removed; a folder of that name is the user's.
TEST(ReplacementGroup, AFolderIsNeverRemoved) {
  test::TempDir dir;
  fs::create_directory(dir.File("s.detail"));
  ReplacementGroup group;
  EXPECT_EQ(test::KindAndFileOf([&] { group.Remove(dir.File("s.detail")); }),
            std::make_pair(ErrorKind::kCannotWrite, dir.File("s.detail")));
  EXPECT_TRUE(fs::is_directory(dir.File("s.detail")));
}

}  // namespace
}  // namespace morvik
