// The public learning and run calls against the program: a set learned through the API is
// saved byte for byte as the command line saves it, and folder and batch runs write the
// command line's result files and report.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/normalize.h"
#include "core/set_files.h"
#include "error_of.h"
#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "image/png_writer.h"
#include "morvik/learning.h"
#include "morvik/runs.h"
#include "program_run.h"
#include "test_util.h"

namespace morvik::test {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(MORVIK_SOURCE_DIR) + "/examples";

class ApiLearnRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir_.File("cli"));
    fs::create_directory(dir_.File("api"));
  }
  void Program(const std::vector<std::string>& args) {
    const RunResult r = RunMorvik(args, {dir_.Path(), dir_.Path(), "", false, "", ""});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  // Every file the program wrote below cli/ is below api/ with the same bytes, and no other.
  void ExpectSameFiles(const std::string& what) {
    EXPECT_EQ(FilesBelow("cli"), FilesBelow("api")) << what;
    for (const std::string& name : FilesBelow("cli"))
      EXPECT_EQ(AsGiven(test::ReadFile(dir_.File("cli/" + name))),
                AsGiven(test::ReadFile(dir_.File("api/" + name))))
          << what << ": " << name;
  }
  // Every record saved below api/ holds the counts its cells give, as a set saved by a
  // folder run does: a set reads the same whichever route saved it.
  void ExpectSettled(const std::string& what) {
    for (const std::string& name : FilesBelow("api")) {
      const std::string ext = fs::path(name).extension().string();
      if (ext != ".PCP" && ext != ".PCT") continue;
      const std::string file = dir_.File("api/" + name);
      TPatternBank bank;
      ASSERT_TRUE(ext == ".PCP" ? LoadReferenceFile(file, bank) : LoadTestFile(file, bank));
      ComputeBankSpans(bank);
      EXPECT_TRUE((ext == ".PCP" ? EncodeReferenceFile(bank) : EncodeTestFile(bank)) ==
                  test::ReadFile(file))
          << what << ": " << name;
    }
  }
  // A report names pictures and sets as given: the program names a set in its start folder
  // relative to it, the API as the caller named it. Both are the same name relative to dir_.
  std::string AsGiven(std::string text) const {
    for (const std::string& from : {dir_.Path() + "/", std::string("cli/")})
      for (std::size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, from.size(), from == "cli/" ? "api/" : "");
    return text;
  }
  std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir_.File(folder)))
      if (e.is_regular_file()) files.push_back(fs::relative(e.path(), dir_.File(folder)).string());
    std::sort(files.begin(), files.end());
    return files;
  }
  TempDir dir_;
};

TEST_F(ApiLearnRun, LearnedSetsAreSavedAsTheProgramSavesThem) {
  if (!FontInstalled(kDejaVuSans)) GTEST_SKIP() << "DejaVu Sans not installed";
  RenderOptions render;
  render.Margin = 24;
  WritePngFile(
      dir_.File("learn.png"),
      RenderText(FontFace(kDejaVuSans), {"0 1 2 3 4 5 6 7 8 9", "A B C D E F"}, 40, render));
  LearnSettings picture;
  picture.Sampling.AutoThreshold = false;
  picture.Sampling.Threshold = 20;
  picture.Sampling.Ratio = 100;
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::function<std::string()> learn;
  } cases[] = {
      {"picture",
       {"--learn-picture", "learn.png", "--chars", "0-9A-F", "--save", "cli/p", "--no-auto",
        "--threshold", "20", "--ratio", "100"},
       [&] {
         return LearnPicture(dir_.File("learn.png"), "0-9A-F", picture).Save(dir_.File("api/p"));
       }},
      {"font at two sizes",
       {"--learn-font", kDejaVuSans, "--chars", "0-9A-Z", "--size", "24,40", "--save", "cli/f"},
       [&] {
         return LearnFont(kDejaVuSans, "0-9A-Z", {24, 40}).Save(dir_.File("api/f"));
       }},
      {"folder",
       {"--learn", kExamples + "/learn", "--save", "cli/d"},
       [&] { return LearnFolder(kExamples + "/learn").Save(dir_.File("api/d")); }},
  };
  for (const auto& c : cases) {
    Program(c.args);
    c.learn();
    ExpectSameFiles(c.what);
    ExpectSettled(c.what);
  }
}

TEST_F(ApiLearnRun, LearnedSetsCountTheirReferences) {
  if (!FontInstalled(kDejaVuSans)) GTEST_SKIP() << "DejaVu Sans not installed";
  const LearnedSets font = LearnFont(kDejaVuSans, "0-9A-Z", {24, 40});
  EXPECT_EQ(font.References(), 72);
  EXPECT_EQ(font.SetCount(), 2);
  const LearnedSets folder = LearnFolder(kExamples + "/learn");
  EXPECT_EQ(folder.References(), 10);
  EXPECT_EQ(folder.SetCount(), 1);
}

// Runs over copies of the example folders, one for the program and one for the API.
TEST_F(ApiLearnRun, RunsWriteTheProgramsResultFiles) {
  LearnFolder(kExamples + "/learn", {}, kExamples + "/charmap.txt").Save(dir_.File("digits"));
  const std::string set = dir_.File("digits"), map = kExamples + "/charmap.txt";
  FolderRunSettings named;
  named.Sets = {set};
  named.Report = dir_.File("api/report.txt");
  FolderRunSettings filtered = named;
  filtered.Chars = "0-4";
  filtered.CharacterMap = map;
  FolderRunSettings own;
  own.Set = set;
  own.DynamicNames = true;
  own.Report = dir_.File("api/report.txt");
  own.Image.TallyPercent = 60;
  const struct {
    const char* what;
    const char* examples;
    std::vector<std::string> args;
    FolderRunSettings settings;
    bool batch;
  } cases[] = {
      {"sets named",
       "patterns",
       {"cli/f", "--set", set, "--report", "cli/report.txt"},
       named,
       false},
      {"chars and map",
       "patterns",
       {"cli/f", "--set", set, "--chars", "0-4", "--charmap", map, "--report", "cli/report.txt"},
       filtered,
       false},
      {"the folder's set",
       "patterns",
       {"cli/f", set, "--dynamic", "--tally", "60", "--report", "cli/report.txt"},
       own,
       false},
      {"batch",
       "batch",
       {"--batch", "cli/f", "--set", set, "--report", "cli/report.txt"},
       named,
       true},
  };
  for (const auto& c : cases) {
    for (const char* side : {"cli", "api"}) {
      fs::remove_all(dir_.File(side));
      fs::create_directory(dir_.File(side));
      fs::copy(kExamples + "/" + c.examples, dir_.File(std::string(side) + "/f"),
               fs::copy_options::recursive);
    }
    Program(c.args);
    const RunSummary done = c.batch ? RecognizeBatchRun(dir_.File("api/f"), c.settings)
                                    : RecognizeFolderRun(dir_.File("api/f"), c.settings);
    EXPECT_GT(done.Pictures, 0) << c.what;
    EXPECT_TRUE(done.Failed.empty()) << c.what;
    ExpectSameFiles(c.what);
  }
}

TEST_F(ApiLearnRun, ErrorsComeWithTheirKindAndFile) {
  const std::string missing = dir_.File("missing");
  FolderRunSettings charsWithoutMap;
  charsWithoutMap.Sets = {dir_.File("digits")};
  charsWithoutMap.Chars = "0-9";
  LearnFolder(kExamples + "/learn").Save(dir_.File("digits"));
  ExpectErrors({
      {"picture", [&] { LearnPicture(missing + ".png", "0"); }, ErrorKind::kNotFound,
       missing + ".png"},
      {"chars", [&] { LearnPicture(missing + ".png", "9-0"); }, ErrorKind::kUsage, ""},
      {"size", [&] { LearnFont(kDejaVuSans, "0", {0}); }, ErrorKind::kUsage, ""},
      {"no chars", [&] { LearnFont(kDejaVuSans, "", {40}); }, ErrorKind::kUsage, ""},
      {"learn folder", [&] { LearnFolder(missing); }, ErrorKind::kNotFound, missing},
      {"empty folder", [&] { LearnFolder(dir_.File("api")); }, ErrorKind::kFailed,
       dir_.File("api")},
      {"run folder", [&] { RecognizeFolderRun(missing); }, ErrorKind::kNotFound, missing},
      {"chars without map", [&] { RecognizeFolderRun(dir_.File("api"), charsWithoutMap); },
       ErrorKind::kUsage, ""},
      {"save", [&] { LearnFolder(kExamples + "/learn").Save(missing + "/x"); },
       ErrorKind::kCannotWrite, missing + "/x.PCP"},
  });
}

}  // namespace
}  // namespace morvik::test
