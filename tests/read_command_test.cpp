// End-to-end tests of --read and --learn-picture through the built program: a set learned from
// a rendered picture reads other pictures to golden text, alone, several at once and from
// standard input; the formats; the cut read back by the folder run; exit statuses and messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "image/picture_reader.h"
#include "image/png_writer.h"
#include "program_run.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

using morvik::test::RunResult;

// Runs the program in cwd with its own home folder; standard input from `input` when given.
RunResult RunMorvik(const std::vector<std::string>& args, const std::string& cwd,
                    const std::string& input = "") {
  return test::RunMorvik(args, {cwd, cwd, input, false, "", ""});
}

const std::vector<std::string> kLearnLines = {"0 1 2 3 4 5 6 7 8 9", "A B C D E F G H I J K L M",
                                              "N O P Q R S T U V W X Y Z"};
const std::vector<std::string> kSettings = {"--no-auto", "--threshold", "20", "--increment",
                                            "20",        "--ratio",     "100"};

// A folder with learn.png (the learning picture), a.png, b.png and words.png, and the set
// "sets/dv" learned from learn.png.
class ReadCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::FontInstalled(test::kDejaVuSans)) GTEST_SKIP() << "DejaVu Sans not installed";
    Picture("learn.png", kLearnLines);
    Picture("a.png", {"HELLO 42", "WORLD"});
    Picture("b.png", {"7 SEAS"}, true);
    Picture("words.png", {"JUMP", "80"});
    Picture("small.png", {"HELLO 42"}, false, 30);
    fs::create_directory(dir_.File("sets"));
    std::vector<std::string> learn = {"--learn-picture", "learn.png", "--chars",
                                      "0-9A-Z",          "--save",    "sets/dv"};
    learn.insert(learn.end(), kSettings.begin(), kSettings.end());
    const RunResult r = RunMorvik(learn, dir_.Path());
    ASSERT_EQ(r.status, 0) << r.err;
  }
  void Picture(const std::string& name, const std::vector<std::string>& lines,
               bool lightOnDark = false, int cap = 40) {
    const FontFace face(test::kDejaVuSans);
    RenderOptions o;
    o.Margin = 24;
    o.LightOnDark = lightOnDark;
    WritePngFile(dir_.File(name), RenderText(face, lines, cap, o));
  }
  RunResult Read(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--read", "--set", "sets/dv.PCP"});
    return RunMorvik(args, dir_.Path(), input);
  }
  test::TempDir dir_;
};

TEST_F(ReadCommandTest, LearnedSetCarriesItsMapAndSettings) {
  for (const char* ext : {".PCP", ".PCT", ".charmap.txt", ".set.ini", ".detail"})
    EXPECT_TRUE(fs::is_regular_file(dir_.File(std::string("sets/dv") + ext))) << ext;
  const std::string map = test::ReadFile(dir_.File("sets/dv.charmap.txt"));
  EXPECT_EQ(map.substr(0, 15), "0\t \r\n1\t0\r\n2\t1\r\n");
  EXPECT_NE(map.find("36\tZ\r\n"), std::string::npos);
  const std::string ini = test::ReadFile(dir_.File("sets/dv.set.ini"));
  EXPECT_NE(ini.find("Autodetect=0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Threshold=20"), std::string::npos) << ini;
}

// A set learned before detail was kept (no .detail file) reads as it did, alone and beside a
// set that carries detail.
TEST_F(ReadCommandTest, SetWithoutDetailReadsAloneAndMixed) {
  for (const char* ext : {".PCP", ".PCT", ".charmap.txt", ".set.ini"})
    fs::copy_file(dir_.File(std::string("sets/dv") + ext),
                  dir_.File(std::string("sets/old") + ext));
  for (const std::vector<std::string>& sets :
       {std::vector<std::string>{"--set", "sets/old"},
        std::vector<std::string>{"--set", "sets/old", "--set", "sets/dv"},
        std::vector<std::string>{"--set", "sets/dv", "--set", "sets/old"}}) {
    std::vector<std::string> args = {"--read", "a.png"};
    args.insert(args.end(), sets.begin(), sets.end());
    const RunResult r = RunMorvik(args, dir_.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "HELLO 42\nWORLD\n") << sets.size();
  }
}

// With no set named, the stock library that comes with the program reads common fonts; it is
// found beside the program's file when the program is started through a link elsewhere, by
// an absolute or a relative path, or by a relative path to the file itself.
TEST_F(ReadCommandTest, ReadsWithTheStockLibraryWhenNoSetIsNamed) {
  fs::create_directory(dir_.File("bin"));
  fs::create_symlink(MORVIK_BINARY, dir_.File("bin/morvik"));
  for (const std::string& program :
       {std::string(MORVIK_BINARY), dir_.File("bin/morvik"), std::string("bin/morvik"),
        fs::relative(MORVIK_BINARY, dir_.Path()).string()}) {
    const RunResult r =
        test::RunMorvik({"--read", "a.png"}, {dir_.Path(), dir_.Path(), "", false, "", program});
    EXPECT_EQ(r.status, 0) << program << ": " << r.err;
    EXPECT_EQ(r.out, "HELLO 42\nWORLD\n") << program;
  }
}

// $MORVIK_STOCK names the library read with by default, as the API's Library::Stock() takes
// it; one that cannot be opened is a failure naming it, never a silent fall back.
TEST_F(ReadCommandTest, StockNamedByTheEnvironment) {
  for (const auto& [stock, status, text] :
       {std::tuple<const char*, int, const char*>{"sets/dv", 0, "HELLO 42\nWORLD\n"},
        {"gone.sets", 1, ""}}) {
    setenv("MORVIK_STOCK", stock, 1);  // the child inherits it
    const RunResult r = RunMorvik({"--read", "a.png"}, dir_.Path());
    unsetenv("MORVIK_STOCK");
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(r.out, text);
    if (status != 0) {
      EXPECT_NE(r.err.find(stock), std::string::npos) << r.err;
    }
  }
}

TEST_F(ReadCommandTest, ReadsPicturesToGoldenText) {
  RunResult r = Read({"a.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "HELLO 42\nWORLD\n");
  EXPECT_EQ(r.err, "");

  // The set named without its extension, several pictures with headers, standard input.
  r = RunMorvik({"--read", "a.png", "--set", "sets/dv", "b.png", "-"}, dir_.Path(),
                dir_.File("words.png"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "==> a.png <==\nHELLO 42\nWORLD\n\n==> b.png <==\n7 SEAS\n\n==> - <==\nJUMP\n80\n");
}

// Many pictures on several threads: what is printed, reported and written is exactly what one
// thread gives, in the same order, failures included.
TEST_F(ReadCommandTest, JobsGiveTheOutputOfOneThread) {
  test::WriteFile(dir_.File("bad.png"), "not a picture");
  std::vector<std::string> pictures;
  for (int round = 0; round < 2; ++round)
    for (const char* p : {"a.png", "missing.png", "b.png", "words.png", "bad.png", "small.png"})
      pictures.push_back(p);
  for (const char* format : {"text", "tsv", "json"}) {
    std::vector<RunResult> runs;
    std::vector<std::string> cuts;
    for (const char* jobs : {"1", "3"}) {
      const std::string cut = std::string("cut-") + format + "-" + jobs;
      std::vector<std::string> args = {"--format", format, "--jobs", jobs, "--cut", cut};
      args.insert(args.end(), pictures.begin(), pictures.end());
      runs.push_back(Read(args));
      std::string files;
      for (const auto& e : fs::recursive_directory_iterator(dir_.File(cut)))
        if (e.is_regular_file())
          files += fs::relative(e.path(), dir_.File(cut)).string() + "=" +
                   test::ReadFile(e.path().string()) + "\n";
      cuts.push_back(files);
    }
    EXPECT_EQ(runs[0].status, 1) << format;
    EXPECT_EQ(runs[1].status, runs[0].status) << format;
    EXPECT_EQ(runs[1].out, runs[0].out) << format;
    EXPECT_EQ(runs[1].err, runs[0].err) << format;
    EXPECT_NE(runs[0].out.find("b.png"), std::string::npos) << format;
    EXPECT_FALSE(cuts[0].empty()) << format;
    EXPECT_TRUE(cuts[1] == cuts[0]) << format;
  }
}

TEST_F(ReadCommandTest, UnreadablePictureFailsAloneAndIsNamed) {
  const RunResult r = Read({"a.png", "missing.png", "b.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "==> a.png <==\nHELLO 42\nWORLD\n\n==> b.png <==\n7 SEAS\n");
  EXPECT_EQ(r.err.rfind("morvik: " + dir_.File("missing.png") + ": ", 0), 0u) << r.err;

  test::WriteFile(dir_.File("bad.png"), "not a picture");
  const RunResult bad = Read({"bad.png"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "morvik: " + dir_.File("bad.png") + ": not a BMP, PNG or PNM picture\n");
}

TEST_F(ReadCommandTest, TsvAndJsonDescribeEveryCharacter) {
  const RunResult tsv = Read({"--format", "tsv", "b.png"});
  EXPECT_EQ(tsv.status, 0) << tsv.err;
  std::vector<std::string> rows;
  for (std::size_t at = 0, end; (end = tsv.out.find('\n', at)) != std::string::npos; at = end + 1)
    rows.push_back(tsv.out.substr(at, end - at));
  ASSERT_EQ(rows.size(), 1u + 5u);  // the header, then 7 S E A S
  EXPECT_EQ(rows[0].substr(0, 19), "picture\tline\tindex\t");
  EXPECT_EQ(rows[1].substr(0, 12), "b.png\t1\t0\t24");
  EXPECT_NE(rows[1].find("\t7\tsets/dv\t8\t"), std::string::npos) << rows[1];
  EXPECT_EQ(rows[2].substr(0, 10), "b.png\t1\t2\t");  // the space takes index 1
  EXPECT_EQ(rows[5].substr(rows[5].size() - 2), "\t0");

  const RunResult json = Read({"--format", "json", "b.png", "a.png"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.substr(0, 43), "[\n{\"picture\": \"b.png\", \"text\": [\"7 SEAS\"], ");
  EXPECT_NE(json.out.find("{\"picture\": \"a.png\", \"text\": [\"HELLO 42\", \"WORLD\"]"),
            std::string::npos);
  EXPECT_EQ(json.out.substr(json.out.size() - 5), "]}\n]\n");
}

TEST_F(ReadCommandTest, RejectAndCandidateFilter) {
  // Read at another size than learned, only the O still matches its reference to the last
  // cell (score 1, which is not below 1).
  RunResult r = Read({"--reject", "1", "small.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "????O ??\n");
  r = Read({"--chars", "0-9", "words.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (char c : r.out) EXPECT_TRUE((c >= '0' && c <= '9') || c == '\n') << r.out;
  EXPECT_EQ(r.out.substr(r.out.size() - 3), "80\n");
}

// The cut read back by the folder run with the set and its settings gives the same text.
// A set's characters from 128 up (Latin-1 bytes in its map) print as UTF-8 in every format,
// and --chars takes them as typed, in UTF-8.
TEST_F(ReadCommandTest, LatinCharactersPrintAsUtf8InEveryFormat) {
  for (const char* ext : {".PCP", ".set.ini", ".detail"})
    fs::copy_file(dir_.File(std::string("sets/dv") + ext),
                  dir_.File(std::string("sets/acc") + ext));
  std::string map = test::ReadFile(dir_.File("sets/dv.charmap.txt"));
  const std::size_t e = map.find("15\tE\r\n");
  ASSERT_NE(e, std::string::npos);
  map[e + 3] = '\xE9';
  test::WriteFile(dir_.File("sets/acc.charmap.txt"), map);
  const std::string accent = "\xC3\xA9";
  RunResult r = RunMorvik({"--read", "--set", "sets/acc", "a.png"}, dir_.Path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "H" + accent + "LLO 42\nWORLD\n");
  r = RunMorvik({"--read", "--set", "sets/acc", "--format", "tsv", "a.png"}, dir_.Path());
  EXPECT_NE(r.out.find("\t" + accent + "\tsets/acc\t15\t"), std::string::npos) << r.out;
  r = RunMorvik({"--read", "--set", "sets/acc", "--format", "json", "a.png"}, dir_.Path());
  EXPECT_NE(r.out.find("\"H" + accent + "LLO 42\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"char\": \"" + accent + "\""), std::string::npos) << r.out;
  for (const char* format : {"text", "tsv", "json"}) {
    r = RunMorvik({"--read", "--set", "sets/acc", "--format", format, "a.png"}, dir_.Path());
    EXPECT_EQ(r.out.find('\xE9' + std::string(1, 'L')), std::string::npos) << format;
  }
  r = RunMorvik({"--read", "--set", "sets/acc", "--chars", accent + "HLOW", "a.png"}, dir_.Path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 7), "H" + accent + "LLO ") << r.out;
}

TEST_F(ReadCommandTest, CutFolderReadsBackInTheFolderRun) {
  const RunResult r = Read({"--cut", "cut", "--boxes", "boxes.png", "words.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out, "JUMP\n80\n");
  for (const char* name : {"1_0.bmp", "1_3.bmp", "2_0.bmp", "2_1.bmp"})
    EXPECT_TRUE(fs::is_regular_file(dir_.File(std::string("cut/") + name))) << name;
  EXPECT_FALSE(fs::exists(dir_.File("cut/1_4.bmp")));
  const Bitmap boxes = ReadPictureFile(dir_.File("boxes.png"));
  EXPECT_EQ(boxes.Width(), ReadPictureFile(dir_.File("words.png")).Width());

  fs::copy_file(dir_.File("sets/dv.PCP"), dir_.File("cut/default.pcp"));
  std::vector<std::string> run = {"cut", "--charmap", "sets/dv.charmap.txt", "--crop"};
  run.insert(run.end(), kSettings.begin(), kSettings.end());
  const RunResult folder = RunMorvik(run, dir_.Path());
  EXPECT_EQ(folder.status, 0) << folder.err;
  EXPECT_EQ(test::ReadFile(dir_.File("cut/result.out")), "JUMP\r\n80\r\n");

  // A later cut replaces the earlier one: no numbered bitmap of it is left behind.
  ASSERT_EQ(Read({"--cut", "cut", "b.png"}).status, 0);
  EXPECT_FALSE(fs::exists(dir_.File("cut/2_0.bmp")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cut/1_1.bmp")));  // the space: a black picture
  const Bitmap blank = ReadPictureFile(dir_.File("cut/1_1.bmp"));
  for (int y = 0; y < blank.Height(); ++y)
    for (int x = 0; x < blank.Width(); ++x) EXPECT_EQ(blank.Pixel(x, y), kBlack);
}

// With several pictures, each gets its own cut folder and boxes file.
TEST_F(ReadCommandTest, SeveralPicturesCutIntoAFolderEach) {
  const RunResult r = Read({"--cut", "cuts", "--boxes", "box.png", "a.png", "b.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cuts/a/1_0.bmp")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cuts/b/1_5.bmp")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("box-a.png")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("box-b.png")));
}

// A picture named "...png" names its cut folder "picture", not the parent of the folder
// asked for, whose numbered pictures stay; and no cut or --boxes output replaces an input.
TEST_F(ReadCommandTest, OutputsNamedAfterPicturesStayInTheirFolder) {
  fs::copy_file(dir_.File("b.png"), dir_.File("...png"));
  test::WriteFile(dir_.File("1_0.bmp"), "mine");
  const RunResult r = Read({"--cut", "cuts", "...png", "a.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cuts/picture/1_5.bmp")));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cuts/a/1_0.bmp")));
  EXPECT_EQ(test::ReadFile(dir_.File("1_0.bmp")), "mine");
}

// Runs cutting different pictures into one folder at once take turns: the folder then holds
// one picture's cut, whole, never a mixture.
TEST_F(ReadCommandTest, ConcurrentCutsIntoOneFolderLeaveOneCut) {
  const auto cutOf = [&](const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : test::FolderEntries(dir_.File(folder)))
      files.emplace_back(name, test::ReadFile(dir_.File(folder + "/" + name)));
    return files;
  };
  ASSERT_EQ(Read({"--cut", "onlyA", "a.png"}).status, 0);
  ASSERT_EQ(Read({"--cut", "onlyB", "b.png"}).status, 0);
  const auto a = cutOf("onlyA"), b = cutOf("onlyB");
  const std::vector<std::string> cutA = {"--read", "--set", "sets/dv", "--cut", "cut", "a.png"};
  std::vector<std::string> cutB = cutA;
  cutB.back() = "b.png";
  for (int round = 0; round < 4; ++round) {
    for (const RunResult& r : test::RunMorvikAtOnce({cutA, cutB, cutA, cutB},
                                                    {dir_.Path(), dir_.Path(), "", false, "", ""}))
      EXPECT_EQ(r.status, 0) << r.err;
    const auto both = cutOf("cut");
    EXPECT_TRUE(both == a || both == b) << "round " << round;
  }
}

// A cut that would write more files than --cut-limit allows is refused for its picture
// alone, before anything of it is written.
TEST_F(ReadCommandTest, CutPastTheFileLimitIsRefused) {
  const RunResult r = Read({"--cut", "cuts", "--cut-limit", "8", "words.png", "a.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "==> words.png <==\nJUMP\n80\n\n==> a.png <==\nHELLO 42\nWORLD\n");
  EXPECT_EQ(r.err, "morvik: " + dir_.File("a.png") +
                       ": the cut would write 13 files, more than 8 (--cut-limit N allows more)\n");
  EXPECT_TRUE(fs::is_regular_file(dir_.File("cuts/words/2_1.bmp")));
  EXPECT_FALSE(fs::exists(dir_.File("cuts/a")));
  EXPECT_EQ(Read({"--cut", "cuts", "--cut-limit", "0", "a.png"}).status, 3);
}

TEST_F(ReadCommandTest, LearningCountMismatchSaysBothCounts) {
  const RunResult r =
      RunMorvik({"--learn-picture", "a.png", "--chars", "HELLO42", "--save", "x"}, dir_.Path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvik: " + dir_.File("a.png") +
                       ": the picture holds 12 characters, but 7 are named\n");
  EXPECT_FALSE(fs::exists(dir_.File("x.PCP")));
}

TEST_F(ReadCommandTest, BadOptionsAndValuesExitWithStatus3) {
  const struct {
    std::vector<std::string> Args;
    std::string Message;
  } cases[] = {
      {{"--read", "--set", "s", "--format", "xml", "a.png"},
       "--format is text, tsv or json, not \"xml\""},
      {{"--read", "--set", "s", "--reject", "1.5", "a.png"},
       "--reject needs a score from 0 to 1, such as 0.8, not \"1.5\""},
      {{"--read", "--set", "s", "--reject", "-0.1", "a.png"},
       "--reject needs a score from 0 to 1, such as 0.8, not \"-0.1\""},
      {{"--read", "--set", "s", "--grid", "1,2,3", "a.png"},
       "--grid needs X,Y,WIDTH,HEIGHT,COLUMNS,ROWS, six numbers, not \"1,2,3\""},
      {{"--read", "--set", "s", "--grid", "0,0,0,5,1,1", "a.png"},
       "--grid: cell size and counts must be at least 1 in \"0,0,0,5,1,1\""},
      {{"--read", "--set", "s", "--polarity", "up", "a.png"},
       "--polarity is auto, dark or light, not \"up\""},
      {{"--read", "--set", "s", "--threshold", "101", "a.png"},
       "--threshold needs a whole number from 0 to 100, not \"101\""},
      {{"--read", "--set", "s", "--ratio", "0", "a.png"},
       "--ratio needs a whole number from 1 to 100, not \"0\""},
      {{"--read", "--set", "s", "--chars", "9-0", "a.png"}, "--chars: "},
      {{"--read", "--set", "s", "--jobs", "0", "a.png"},
       "--jobs needs a whole number from 1 to 1024, not \"0\""},
      {{"--read", "--bogus", "a.png"}, "unknown option --bogus"},
      {{"--read", "--set"}, "--set needs a value"},
      {{"--read", "--set", "s"}, "--read needs a picture (\"-\" reads standard input)"},
      {{"--learn-picture", "a.png", "--save", "x"},
       "--learn-picture needs --chars CHARS naming its characters"},
      {{"--learn-picture", "a.png", "--chars", "A"}, "--learn-picture needs --save BASE"},
      {{"--learn-picture", "a.png", "--chars", "A", "--save", "x", "--read"},
       "--read and --learn-picture go separately"},
      {{"--learn-picture", "a.png", "--chars", "A", "--save", "x", "--set", "s"},
       "--set, --charmap, --cut, --reject and --format go with --read"},
      {{"--read", "--set", "s", "--cut", "", "a.png"}, "--cut needs a folder, not \"\""},
      {{"--read", "--set", "s", "--boxes", "", "a.png"}, "--boxes needs a file, not \"\""},
      {{"--learn-picture", "a.png", "--chars", "A", "--save", ""},
       "--save needs the name of a set, not \"\""},
      {{"--learn-picture", "a.png", "--chars", "A", "--save", "x\ny"},
       "--save: a set's name cannot hold a line end"},
      {{"--read", "--set", "sets/dv", "--boxes", "./a.png", "a.png"},
       "--boxes would replace the picture a.png being read"},
      {{"--read", "--set", "sets/dv", "--boxes", "link.png", "b.png", "a.png"},
       "--boxes would replace the picture a.png being read"},
      {{"--read", "--set", "sets/dv", "--cut", ".", "a.png"},
       "--cut names the folder of the picture a.png being read"},
      {{"--learn-picture", "a.png", "--chars", "A", "--save", "x", "--boxes", "a.png"},
       "--boxes would replace the picture a.png being learned"},
      {{"--learn-picture", "x.PCP", "--chars", "A", "--save", "x"},
       dir_.File("x.PCP") + ": --save would replace the picture being learned"},
  };
  fs::create_symlink("a.png", dir_.File("link-a.png"));
  fs::copy_file(dir_.File("a.png"), dir_.File("x.PCP"));
  for (const auto& c : cases) {
    const RunResult r = RunMorvik(c.Args, dir_.Path());
    EXPECT_EQ(r.status, 3) << c.Message;
    EXPECT_EQ(r.err.rfind("morvik: " + c.Message, 0), 0u) << r.err;
    EXPECT_NE(r.err.find("Try 'morvik --read --help'."), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  const RunResult help = RunMorvik({"--read", "--help"}, dir_.Path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
}

TEST_F(ReadCommandTest, MissingSetIsAFileError) {
  const RunResult r = RunMorvik({"--read", "--set", "nothere", "a.png"}, dir_.Path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("morvik: ", 0), 0u);
  EXPECT_NE(r.err.find("nothere"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace morvik
