// Tests of the checked text file: bytes as written, CR LF line ends, errors that name the file,
// files found by name without regard to case, and replacement whole or not at all.
#include "runs/text_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "core/error.h"
#include "test_util.h"

namespace morvik {
namespace {

TEST(TextFile, WritesBytesExactlyWithCrLf) {
  test::TempDir dir;
  TextFile f(dir.File("a.txt"));
  f.Write("3 0.912 ");
  f.Write(std::string("\0x", 2));
  f.EndLine();
  f.Close();
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), std::string("3 0.912 \0x\r\n", 12));
}

TEST(TextFile, ReplacesAnExistingFile) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.txt"), "old content that is long");
  TextFile f(dir.File("a.txt"));
  f.Write("new");
  f.Close();
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "new");
}

TEST(TextFile, RewritesTheFileWhoseNameDiffersInCase) {
  test::TempDir dir;
  test::WriteFile(dir.File("RESULT.TXT"), "old");
  TextFile f(dir.File("result.txt"));
  f.Write("new");
  f.Close();
  EXPECT_EQ(test::ReadFile(dir.File("RESULT.TXT")), "new");
  EXPECT_FALSE(std::filesystem::exists(dir.File("result.txt")));
}

TEST(TextFile, CloseTwiceIsHarmless) {
  test::TempDir dir;
  TextFile f(dir.File("a.txt"));
  f.Close();
  EXPECT_NO_THROW(f.Close());
}

TEST(TextFile, CreationFailureNamesTheFile) {
  test::TempDir dir;
  const std::string name = dir.File("missing/a.txt");
  try {
    TextFile f(name);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(name + ": cannot be created", 0), 0u) << e.what();
  }
}

TEST(TextFile, WriteFailureIsReportedAndKeepsTheOldFile) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.txt"), "old");
  {
    test::FileSizeLimit limit(1000);  // like a full disk
    TextFile f(dir.File("a.txt"));
    try {
      for (int k = 0; k < 100000; ++k) f.Write("0123456789");
      f.Close();
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(dir.File("a.txt") + ": cannot be written", 0), 0u)
          << e.what();
    }
  }
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "old");
  EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"a.txt"});
}

// Until Close the old contents stay in place and the new ones wait in a temporary with an
// unmistakable, unpredictable name; without Close (an error on the way) nothing changes.
TEST(TextFile, OldFileStaysWholeUntilClose) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.txt"), "old");
  {
    TextFile f(dir.File("a.txt"));
    f.Write("new");
    EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "old");
    const std::vector<std::string> names = test::FolderEntries(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].rfind("a.txt.morvik-tmp-", 0), 0u) << names[1];
    EXPECT_EQ(names[1].size(), std::string("a.txt.morvik-tmp-").size() + 12);
  }
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "old");
  EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"a.txt"});
}

TEST(TextFile, TwoWritersOfOneNameEachUseTheirOwnTemporary) {
  test::TempDir dir;
  TextFile first(dir.File("a.txt")), second(dir.File("a.txt"));
  first.Write("first");
  second.Write("second");
  first.Close();
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "first");
  second.Close();
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "second");
  EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"a.txt"});
}

// Names that must never be opened or replaced as a result file; each is refused at once with
// an error naming it, and stays as it was.
TEST(TextFile, RefusesWhatIsNotAWritableFile) {
  struct Case {
    const char* what;
    void (*make)(const std::string& path);
    const char* problem;
  };
  const Case cases[] = {
      {"folder", [](const std::string& p) { std::filesystem::create_directories(p + "/keep"); },
       "is a folder, not a file"},
      {"fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0666), 0); },
       "is not a regular file"},
      {"read-only file",
       [](const std::string& p) {
         test::WriteFile(p, "old");
         chmod(p.c_str(), 0444);  // root too honours the missing write bits
       },
       "is read-only"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string path = dir.File("result.txt");
    c.make(path);
    const auto before = std::filesystem::symlink_status(path).type();
    try {
      TextFile f(path);
      FAIL() << c.what << ": no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), path + ": " + c.problem) << c.what;
    }
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), before) << c.what;
    EXPECT_EQ(test::FolderEntries(dir.Path()).size(), 1u) << c.what;
  }
  EXPECT_THROW(TextFile("/dev/full"), Error);  // a device is never replaced either
}

// A link planted where the file goes is replaced by the new file; what it named is untouched.
TEST(TextFile, ReplacesALinkInsteadOfWritingThroughIt) {
  test::TempDir dir;
  test::WriteFile(dir.File("target"), "precious");
  std::filesystem::create_symlink(dir.File("target"), dir.File("result.txt"));
  std::filesystem::create_symlink(dir.File("nothing"), dir.File("result.out"));
  for (const char* name : {"result.txt", "result.out"}) {
    TextFile f(dir.File(name));
    f.Write("new");
    f.Close();
    EXPECT_FALSE(std::filesystem::is_symlink(dir.File(name))) << name;
    EXPECT_EQ(test::ReadFile(dir.File(name)), "new") << name;
  }
  EXPECT_EQ(test::ReadFile(dir.File("target")), "precious");
  EXPECT_FALSE(std::filesystem::exists(dir.File("nothing")));
}

TEST(TextFile, KeepsPermissionsAndLeavesCaseVariantsAlone) {
  test::TempDir dir;
  test::WriteFile(dir.File("result.out"), "old");
  test::WriteFile(dir.File("RESULT.OUT"), "other");
  chmod(dir.File("result.out").c_str(), 0640);
  TextFile f(dir.File("result.out"));
  f.Write("new");
  f.Close();
  EXPECT_EQ(test::ReadFile(dir.File("result.out")), "new");
  EXPECT_EQ(test::ReadFile(dir.File("RESULT.OUT")), "other");
  struct stat st {};
  ASSERT_EQ(stat(dir.File("result.out").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ReadWholeFile, ReadsBytesAndNamesWhatItCannotRead) {
  test::TempDir dir;
  test::WriteFile(dir.File("c.txt"), std::string("1\r3\r\n\0", 6));
  EXPECT_EQ(ReadWholeFile(dir.File("C.TXT")), std::string("1\r3\r\n\0", 6));
  test::WriteFile(dir.File("big.txt"), std::string(kMaxTextInputBytes + 1, 'x'));
  ASSERT_EQ(mkfifo(dir.File("fifo.txt").c_str(), 0666), 0);
  const std::pair<const char*, const char*> cases[] = {
      {"none.txt", ": cannot be read (No such file or directory)"},
      {"big.txt", ": is too large (more than 1048576 bytes)"},
      {"fifo.txt", ": is not a regular file"},  // at once, without waiting for a writer
  };
  for (const auto& [name, problem] : cases) {
    try {
      ReadWholeFile(dir.File(name));
      FAIL() << name << ": no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), dir.File(name) + problem);
    }
  }
  EXPECT_EQ(ReadWholeFile(dir.File("big.txt"), kMaxTextInputBytes + 1).size(),
            kMaxTextInputBytes + 1);
}

}  // namespace
}  // namespace morvik
