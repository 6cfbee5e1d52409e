// Tests of the checked text file: bytes as written, CR LF line ends, errors that name the file,
// and files found by name without regard to case.
#include "runs/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(TextFile, TruncatesAnExistingFile) {
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

TEST(TextFile, WriteFailureIsReported) {
  // /dev/full accepts the open and fails every write that reaches it.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TextFile f("/dev/full");
  EXPECT_THROW(
      {
        for (int k = 0; k < 100000; ++k) f.Write("0123456789");
        f.Close();
      },
      Error);
}

TEST(ReadWholeFile, ReadsBytesAndNamesAMissingFile) {
  test::TempDir dir;
  test::WriteFile(dir.File("c.txt"), std::string("1\r3\r\n\0", 6));
  EXPECT_EQ(ReadWholeFile(dir.File("C.TXT")), std::string("1\r3\r\n\0", 6));
  try {
    ReadWholeFile(dir.File("none.txt"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), dir.File("none.txt") + ": cannot be read");
  }
}

}  // namespace
}  // namespace morvik
