// File-name helpers: lookup without regard to case, paths relative to the home folder, base
// names of chosen set files and joined paths.
#include "core/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_util.h"

namespace morvik {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(ResolveFileName, FindsTheEntryWhoseNameDiffersOnlyInCase) {
  TempDir dir;
  WriteFile(dir.File("digits.pcp"), "x");
  EXPECT_EQ(ResolveFileName(dir.File("digits.PCP")), dir.File("digits.pcp"));
  EXPECT_EQ(ResolveFileName(dir.File("digits.pcp")), dir.File("digits.pcp"));
  EXPECT_EQ(ResolveFileName(dir.File("other.PCP")), dir.File("other.PCP"));
  EXPECT_EQ(ResolveFileName(dir.File("none/digits.PCP")), dir.File("none/digits.PCP"));
  EXPECT_TRUE(FileExists(dir.File("DIGITS.Pcp")));
  EXPECT_FALSE(FileExists(dir.File("digits")));
  EXPECT_FALSE(FileExists(""));
}

TEST(ResolveFileName, PrefersTheExactNameAndOtherwiseTheFirstInByteOrder) {
  TempDir dir;
  WriteFile(dir.File("set.pCp"), "1");
  WriteFile(dir.File("set.Pcp"), "2");
  EXPECT_EQ(ResolveFileName(dir.File("set.PCP")), dir.File("set.Pcp"));
  WriteFile(dir.File("set.PCP"), "3");
  EXPECT_EQ(ResolveFileName(dir.File("set.PCP")), dir.File("set.PCP"));
  // A link is an entry of its name even when it names nothing: the case variant is not used.
  std::filesystem::create_symlink(dir.File("nothing"), dir.File("out.txt"));
  WriteFile(dir.File("OUT.TXT"), "x");
  EXPECT_EQ(ResolveFileName(dir.File("out.txt")), dir.File("out.txt"));
}

TEST(ResolveFileName, FoldersMatchToo) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Learn"));
  EXPECT_TRUE(DirectoryExists(dir.File("learn")));
  EXPECT_FALSE(FileExists(dir.File("learn")));
  EXPECT_FALSE(DirectoryExists(dir.File("learnt")));
}

struct RelativeCase {
  std::string path, home, expected;
};

class MakeRelativeToTest : public testing::TestWithParam<RelativeCase> {};

TEST_P(MakeRelativeToTest, Gives) {
  EXPECT_EQ(MakeRelativeTo(GetParam().path, GetParam().home), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, MakeRelativeToTest,
                         testing::Values(RelativeCase{"/app/sets/a", "/app", "sets/a"},
                                         RelativeCase{"/data/a", "/app", "../data/a"},
                                         RelativeCase{"/app/sets/a", "/app/", "sets/a"},
                                         RelativeCase{"/App/Sets/a", "/app/sets", "a"},
                                         RelativeCase{"/a/x/y", "/a/b/c", "../../x/y"},
                                         RelativeCase{"sets/a", "/app", "sets/a"}));

struct StripCase {
  std::string name, expected;
};

class StripExtensionTest : public testing::TestWithParam<StripCase> {};

TEST_P(StripExtensionTest, Gives) {
  EXPECT_EQ(StripExtension(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, StripExtensionTest,
                         testing::Values(StripCase{"/sets/digits.PCP", "/sets/digits"},
                                         StripCase{"/sets/digits", "/sets/digits"},
                                         StripCase{"/se.ts/digits", "/se.ts/digits"},
                                         StripCase{"a.b.PCT", "a.b"}, StripCase{"digits", "digits"},
                                         StripCase{"digits.", "digits"}));

TEST(JoinPath, JoinsWithOneSlashUnlessThePathIsAbsolute) {
  EXPECT_EQ(JoinPath("/app", "morvik.ini"), "/app/morvik.ini");
  EXPECT_EQ(JoinPath("/app/", "sets/a"), "/app/sets/a");
  EXPECT_EQ(JoinPath("/app", "/data/a"), "/data/a");
  EXPECT_EQ(JoinPath("", "a"), "a");
}

TEST(FolderProblem, SaysWhatIsWrongWithAFolderPath) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Pics"));
  WriteFile(dir.File("file"), "x");
  const std::string longName(300, 'a');  // longer than any file system allows for one name
  std::string longPath = dir.Path();
  while (longPath.size() < 5000) longPath += "/abcdefghij";
  const std::pair<std::string, std::string> cases[] = {
      {dir.File("Pics"), ""},
      {dir.File("pics"), ""},  // found in any case
      {dir.File("none"), "folder not found"},
      {dir.File("none/deeper"), "folder not found"},
      {dir.File("file/deeper"), "folder not found"},
      {"", "folder not found"},
      {dir.File("file"), "not a folder"},
      {dir.File(longName), "folder name too long"},
      {longPath, "folder name too long"},
  };
  for (const auto& [path, problem] : cases)
    EXPECT_EQ(FolderProblem(path), problem) << path.substr(0, 80);
}

}  // namespace
}  // namespace morvik
