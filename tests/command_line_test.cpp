// End-to-end tests of the command line: the built program is run in a temporary folder with
// its own home folder (MORVIK_HOME) and without a display, and its exit status, messages and
// files are checked. The golden cases of tests/golden/<case>/ run here too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "golden/glyphs.h"
#include "program_run.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

using morvik::test::RunResult;

// Runs the program in `cwd` with MORVIK_HOME = home, no display and a Qt platform that would
// fail at once if the program ever touched the window system (or, with noPlatform, no Qt
// platform chosen at all).
RunResult RunMorvik(const std::vector<std::string>& args, const std::string& cwd,
                    const std::string& home, bool noPlatform = false) {
  return test::RunMorvik(args, {cwd, home, "", noPlatform, "", ""});
}

class CommandLine : public testing::Test {
 protected:
  CommandLine() {
    fs::create_directory(dir.File("home"));
    fs::create_directory(dir.File("pics"));
  }
  RunResult Run(const std::vector<std::string>& args) {
    return RunMorvik(args, dir.Path(), dir.File("home"));
  }
  // learn/<k + 1>.bmp holds glyph text[k]; charmap.txt maps k + 1 to text[k].
  void LearnFolderAndMap(const std::string& text) {
    fs::create_directories(dir.File("learn"));
    std::string map;
    for (std::size_t k = 0; k < text.size(); ++k) {
      test::WriteGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"), text[k]);
      map += std::to_string(k + 1) + "\t" + text[k] + "\r\n";
    }
    test::WriteFile(dir.File("charmap.txt"), map);
  }
  // A set saved from learn/ under the name base (relative to the temporary folder).
  void SaveSet(const std::string& base) {
    const RunResult r = Run({"--learn", "learn", "--save", base});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  // learn/1.bmp and learn/2.bmp exchanged, so that a set saved next reads 0 and 1 the other
  // way round and the text tells which set was used.
  void SwapFirstTwoLearned() {
    fs::rename(dir.File("learn/1.bmp"), dir.File("learn/x.bmp"));
    fs::rename(dir.File("learn/2.bmp"), dir.File("learn/1.bmp"));
    fs::rename(dir.File("learn/x.bmp"), dir.File("learn/2.bmp"));
  }
  void Glyphs(const std::string& folder, const std::string& row1) {
    fs::create_directories(dir.File(folder));
    for (std::size_t c = 0; c < row1.size(); ++c)
      test::WriteGlyph(dir.File(folder + "/1_" + std::to_string(c) + ".bmp"), row1[c]);
  }
  std::string Read(const std::string& name) { return test::ReadFile(dir.File(name)); }

  test::TempDir dir;
};

TEST_F(CommandLine, HelpListsExitStatusesAndOptions) {
  const RunResult r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* text :
       {"Exit status:",  "  0  ",         "  1  ",
        "  2  ",         "  3  ",         "--dynamic",
        "--batch",       "--tally N",     "--black",
        "--crop",        "--no-auto",     "--threshold N",
        "--increment N", "--ratio N|off", "--charmap FILE",
        "--learn DIR",   "--save BASE",   "--report FILE",
        "--jobs N",      "--version",     "same name with .png, .pgm, .ppm or .pbm"})
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  // default.pcp only with the folder alone; compare mode changes result.out only where a
  // character map is loaded.
  EXPECT_NE(r.out.find("default.pcp\n(with the folder alone)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("compare mode: with a character\nmap"), std::string::npos) << r.out;
  EXPECT_EQ(Run({"--version"}).out, std::string("morvik ") + MORVIK_VERSION + "\n");
}

// Values joined with "=", short forms, and "--" ending the options.
TEST_F(CommandLine, OptionForms) {
  EXPECT_EQ(Run({"-h"}).out, Run({"--help"}).out);
  EXPECT_EQ(Run({"-V"}).out, std::string("morvik ") + MORVIK_VERSION + "\n");
  fs::create_directories(dir.File("-pics"));
  test::WriteGlyph(dir.File("-pics/1_0.bmp"), '4');
  RunResult r = Run({"--no-auto", "--threshold=50", "--", "-pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string joined = Read("-pics/result.txt");
  r = Run({"--no-auto", "--threshold", "50", "--", "-pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("-pics/result.txt"), joined);
  r = Run({"pics", "--tally"});
  EXPECT_EQ(r.err, "morvik: --tally needs a value\nTry 'morvik --help'.\n");
  r = Run({"pics", "--tally=x"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("morvik: --tally needs a whole number"), std::string::npos) << r.err;
  EXPECT_EQ(Run({"-q", "pics"}).err, "morvik: unknown option -q\nTry 'morvik --help'.\n");
}

// Without arguments the window would start; with no display the program says so and how to
// work without one, and never aborts.
TEST_F(CommandLine, NoArgumentsWithoutDisplay) {
  const RunResult r = RunMorvik({}, dir.Path(), dir.File("home"), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("morvik: the window needs a display", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("morvik --help"), std::string::npos) << r.err;
}

// Where the window's display does not answer (DISPLAY names no server, or Qt is told to use
// X11 and no display is named), Qt would abort (status 134): the window program says so.
TEST_F(CommandLine, NoArgumentsWithADisplayThatDoesNotAnswer) {
  if (!fs::exists(fs::path(MORVIK_BINARY).parent_path() / "morvik-window"))
    GTEST_SKIP() << "built without the window";
  const struct {
    std::string display;
    bool noPlatform;  // else QT_QPA_PLATFORM=xcb
  } cases[] = {{"", false}, {":9731", false}, {":9731", true}};
  for (const auto& c : cases) {
    test::RunSetup setup{dir.Path(), dir.File("home"), "", c.noPlatform, c.display, ""};
    const RunResult r = test::RunMorvik({}, setup);
    EXPECT_EQ(r.status, 1) << c.display << ": " << r.err;
    EXPECT_NE(r.err.find("cannot open its display"), std::string::npos) << r.err;
  }
}

// A copy of the program without its stock library says where it looked for it.
TEST_F(CommandLine, CopiedProgramSaysWhereItLookedForTheStockLibrary) {
  const std::string root = fs::canonical(dir.Path()).string();
  fs::create_directories(root + "/copy/bin");
  fs::copy_file(MORVIK_BINARY, root + "/copy/bin/morvik");
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '4');
  test::RunSetup setup{dir.Path(), dir.File("home"), "", false, "", root + "/copy/bin/morvik"};
  const RunResult r = test::RunMorvik({"--read", "pics/1_0.bmp"}, setup);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.err.rfind("morvik: the stock library was not found", 0), 0u) << r.err;
  for (const char* place : {"/copy/bin/stock/stock.sets", "/copy/share/morvik/stock/stock.sets"})
    EXPECT_NE(r.err.find(root + place), std::string::npos) << r.err;
}

// One status per kind of fault, whichever route meets it: 3 for a command line that cannot
// run as typed, 1 for an input that is missing; the message always starts with "morvik: ".
TEST_F(CommandLine, SameFaultSameStatusOnEveryRoute) {
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '4');
  const std::string pic = "pics/1_0.bmp";
  const std::string font = "none.ttf";  // usage faults are found before the font is opened
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      // A range that runs backwards.
      {{"pics", "--set", "s", "--chars", "9-0"}, 3},
      {{"--read", "--chars", "9-0", pic}, 3},
      {{"--learn-picture", pic, "--chars", "9-0", "--save", "x"}, 3},
      {{"--learn-font", font, "--chars", "9-0", "--save", "x"}, 3},
      // A character no map can hold.
      {{"--read", "--chars", "\xE2\x82\xAC", pic}, 3},
      {{"--learn-picture", pic, "--chars", "\xE2\x82\xAC", "--save", "x"}, 3},
      {{"--learn-font", font, "--chars", "\xE2\x82\xAC", "--save", "x"}, 3},
      // No set named.
      {{"pics", "--set", ""}, 3},
      {{"--read", "--set", "", pic}, 3},
      {{"--read", "--charmap", "", pic}, 3},
      {{"pics", "--charmap", ""}, 3},
      // An unknown option, a value missing.
      {{"pics", "--bogus"}, 3},
      {{"--read", "--bogus", pic}, 3},
      {{"--learn-picture", pic, "--bogus"}, 3},
      {{"--learn-font", font, "--bogus"}, 3},
      {{"pics", "--tally"}, 3},
      {{"--read", pic, "--threshold"}, 3},
      {{"--learn-font", font, "--chars"}, 3},
      // An input that is not there.
      {{"pics", "--charmap", "none.txt"}, 1},
      {{"--read", "--charmap", "none.txt", pic}, 1},
      {{"--read", "--set", "none", pic}, 1},
      {{"--read", "none.png"}, 1},
      {{"--learn-picture", "none.png", "--chars", "0", "--save", "x"}, 1},
      {{"--learn-font", font, "--chars", "0", "--save", "x"}, 1},
  };
  for (const auto& c : cases) {
    const RunResult r = Run(c.args);
    std::string typed;
    for (const std::string& a : c.args) typed += a + " ";
    EXPECT_EQ(r.status, c.status) << typed << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("morvik: ", 0), 0u) << typed << "\n" << r.err;
  }
}

// Every route reads --chars with the one parser, so a list is refused in the same words.
TEST_F(CommandLine, CharacterListsAreRefusedAlikeOnEveryRoute) {
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '4');
  const std::string pic = "pics/1_0.bmp";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"pics", "--set", "s", "--chars", "9-0"},
        {"--read", "--chars", "9-0", pic},
        {"--learn-picture", pic, "--chars", "9-0", "--save", "x"},
        {"--learn-font", "none.ttf", "--chars", "9-0", "--save", "x"}}) {
    const RunResult r = Run(args);
    EXPECT_EQ(
        r.err.rfind("morvik: --chars: character list \"9-0\": the range 9-0 is reversed\n", 0), 0u)
        << args[0] << ": " << r.err;
  }
}

// A missing input or output says why, as the system tells it.
TEST_F(CommandLine, MessagesGiveTheSystemsReason) {
  test::WriteGlyph(dir.File("pics/1_0.bmp"), '4');
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--read", "none.png"},
        std::vector<std::string>{"--read", "pics/1_0.bmp", "--boxes", "/nonexistent/x.png"}}) {
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("(No such file or directory)"), std::string::npos) << r.err;
  }
}

TEST_F(CommandLine, BadOptionsExitWithThree) {
  const std::vector<std::vector<std::string>> cases = {{"--bogus", "pics"},
                                                       {"pics", "--tally", "101"},
                                                       {"pics", "--tally"},
                                                       {"pics", "--ratio", "0"},
                                                       {"pics", "--ratio", "x"},
                                                       {"--save", "s", "pics"},
                                                       {"--learn", "learn", "--save", ""},
                                                       {"--learn", "learn", "--save="},
                                                       {"--dynamic"},
                                                       {"pics", "--threshold", "-1"}};
  for (const auto& args : cases) {
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, 3) << args[0] << " " << args.back();
    EXPECT_NE(r.err.find("morvik: "), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.File("pics/result.txt")));
  }
  EXPECT_NE(Run({"--bogus"}).err.find("unknown option --bogus"), std::string::npos);
}

TEST_F(CommandLine, MissingFolderExitsWithTwo) {
  RunResult r = Run({"nothere"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "morvik: folder not found: " + dir.File("nothere") + "\n");
  r = Run({""});  // an empty name is no folder, not the start folder
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "morvik: folder not found: \n");
  r = Run({"--batch", "nothere"});
  EXPECT_EQ(r.status, 2);
  r = Run({"--learn", "nolearn", "pics"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "morvik: folder not found: " + dir.File("nolearn") + "\n");
  EXPECT_FALSE(fs::exists(dir.File("pics/result.txt")));
}

// A picture that cannot be read is reported and counts as blank (pattern 0, score 0, the map's
// entry 0); every other picture is recognised, the result files are whole, the status is 1.
TEST_F(CommandLine, UnreadableBitmapIsReportedAndTheRunGoesOn) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "12");
  test::WriteFile(dir.File("pics/1_2.bmp"), "BM not really");
  test::WriteGlyph(dir.File("pics/1_3.bmp"), '3');
  test::WriteFile(dir.File("pics/2_0.bmp"), "");
  const RunResult r = Run({"--learn", "learn", "pics", "--report", "report.tsv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("morvik: " + dir.File("pics/1_2.bmp") + ": "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("morvik: " + dir.File("pics/2_0.bmp") + ": "), std::string::npos) << r.err;
  EXPECT_EQ(Read("pics/result.out"), std::string("12\0"
                                                 "3\r\n\0\r\n",
                                                 9));
  const std::string txt = Read("pics/result.txt");
  EXPECT_NE(txt.find(" 0 0 4 1  \r\n0 0  \r\n"), std::string::npos) << txt;
  const std::string report = Read("report.tsv");
  EXPECT_NE(report.find(dir.File("pics/1_2.bmp") + "\t1\t2\t0\t\t0\t0\t\t0\t0\t\t0\r\n"),
            std::string::npos)
      << report;
}

// The same in a batch: every sub-folder is finished, the unreadable picture is reported.
TEST_F(CommandLine, UnreadableBitmapInBatch) {
  LearnFolderAndMap("0123456789");
  fs::create_directories(dir.File("root/a"));
  fs::create_directories(dir.File("root/b"));
  test::WriteFile(dir.File("root/a/0_0.bmp"), "BM");
  test::WriteGlyph(dir.File("root/a/0_1.bmp"), '5');
  test::WriteGlyph(dir.File("root/b/0_0.bmp"), '6');
  const RunResult r = Run({"--learn", "learn", "--batch", "root"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("morvik: " + dir.File("root/a/0_0.bmp") + ": "), std::string::npos) << r.err;
  EXPECT_EQ(Read("root/batchresult.out"), std::string("\0"
                                                      "5 \r\n6 \r\n",
                                                      9));
  EXPECT_EQ(Read("root/b/result.out").substr(0, 3), "6\r\n");
}

// A picture with nothing left after cropping is blank, not a failure.
TEST_F(CommandLine, BlankPictureIsRecognisedAsBlank) {
  LearnFolderAndMap("0123456789");
  test::WriteFile(dir.File("charmap.txt"), Read("charmap.txt") + "0\t_\r\n");
  Glyphs("pics", "7");
  Bitmap black(16, 16);
  black.Fill(kBlack);
  test::WriteBmp24(dir.File("pics/1_1.bmp"), black);
  const RunResult r = Run({"--learn", "learn", "--crop", "pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Read("pics/result.out"), "7_\r\n");
  EXPECT_EQ(Read("pics/result.txt"), "8 1 0 0  \r\n");
}

TEST_F(CommandLine, FolderWithoutPicturesExitsWithOne) {
  LearnFolderAndMap("01");
  test::WriteFile(dir.File("pics/1_0.gif"), "GIF89a");
  RunResult r = Run({"pics"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("pics") + ": no pictures"), std::string::npos) << r.err;
  r = Run({"--dynamic", "pics"});
  EXPECT_EQ(r.status, 1);
  fs::create_directories(dir.File("root/a"));
  r = Run({"--batch", "root"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("root") + ": no pictures"), std::string::npos) << r.err;
}

// Where "<r>_<c>.bmp" is missing, the same name as PNG, PGM, PPM or PBM is read; in learning
// too.
TEST_F(CommandLine, PicturesBeyondBmp) {
  LearnFolderAndMap("0123");
  fs::remove(dir.File("learn/2.bmp"));
  const Bitmap one = test::GlyphBitmap('1', 64, 64);
  std::string pgm = "P5 64 64 255\n";
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) pgm += static_cast<char>(RedOf(one.Pixel(x, y)));
  test::WriteFile(dir.File("learn/2.pgm"), pgm);
  Glyphs("pics", "0");
  test::WriteFile(dir.File("pics/1_1.pgm"), pgm);
  std::string ppm = "P6 64 64 255\n";
  const Bitmap three = test::GlyphBitmap('3', 64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ppm += std::string(3, static_cast<char>(RedOf(three.Pixel(x, y))));
  test::WriteFile(dir.File("pics/1_2.ppm"), ppm);
  test::WriteFile(dir.File("pics/1_2.pbm"), "P4 1 1\n\x80");  // after .ppm: never read
  const RunResult r = Run({"--learn", "learn", "pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("pics/result.out"), "013\r\n");
  EXPECT_EQ(Read("pics/result.txt"), "1 1 2 1 4 1  \r\n");
}

TEST_F(CommandLine, UnwritableResultExitsWithOne) {
  LearnFolderAndMap("01");
  Glyphs("pics", "1");
  // A folder in the file's place: neither removed nor opened as a file.
  fs::create_directories(dir.File("pics/result.out/keep"));
  const RunResult r = Run({"pics"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("pics/result.out")), std::string::npos) << r.err;
}

TEST_F(CommandLine, NeverWritesSettings) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "1");
  const std::string ini = "[Files]\r\nLastRecognizeName=elsewhere\r\n[Algorithm]\r\nTally=75\r\n";
  test::WriteFile(dir.File("home/morvik.ini"), ini);
  EXPECT_EQ(Run({"--learn", "learn", "--dynamic", "--tally", "50", "pics"}).status, 0);
  EXPECT_EQ(Run({"--learn", "learn", "--save", "set"}).status, 0);
  EXPECT_EQ(Read("home/morvik.ini"), ini);
  fs::remove(dir.File("home/morvik.ini"));
  EXPECT_EQ(Run({"pics"}).status, 0);
  EXPECT_EQ(Run({"nothere"}).status, 2);
  EXPECT_FALSE(fs::exists(dir.File("home/morvik.ini")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("home")), fs::directory_iterator()), 0);
}

TEST_F(CommandLine, RelativeFolderIsTakenInTheStartFolder) {
  LearnFolderAndMap("0123456789");
  SaveSet("pics/default");
  Glyphs("pics", "42");
  // The same name in the home folder holds a picture that must not be read.
  fs::create_directories(dir.File("home/pics"));
  test::WriteFile(dir.File("home/pics/1_0.bmp"), "not a bmp");
  const RunResult r = Run({"pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("pics/result.out"), "42\r\n");
  EXPECT_FALSE(fs::exists(dir.File("home/pics/result.out")));
}

TEST_F(CommandLine, DefaultSetOrNamedSetOfTheFolder) {
  LearnFolderAndMap("0123456789");
  SaveSet("pics/default");
  // digits: the same set with slots 1 and 2 exchanged.
  SwapFirstTwoLearned();
  SaveSet("pics/digits");
  test::WriteFile(dir.File("pics/digits.PCT"), "broken: a set's test pattern is not read");
  Glyphs("pics", "0123");
  EXPECT_EQ(Run({"pics"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "0123\r\n");
  EXPECT_EQ(Run({"pics", "digits", "third", "ignored"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "1023\r\n");
  EXPECT_EQ(Run({"pics", "DIGITS"}).status, 0);  // the set file is found in any case
  EXPECT_EQ(Read("pics/result.out"), "1023\r\n");
}

// Folder runs with different sets writing one folder at once take turns over its result
// files: result.txt and result.out always come from the same run.
TEST_F(CommandLine, ConcurrentFolderRunsLeaveAPairFromOneRun) {
  LearnFolderAndMap("0123456789");
  SaveSet("pics/default");
  SwapFirstTwoLearned();
  SaveSet("pics/digits");
  Glyphs("pics", "0123456789");
  const std::vector<std::string> plain = {"pics"}, swapped = {"pics", "digits"};
  const auto pair = [&] {
    return std::make_pair(Read("pics/result.txt"), Read("pics/result.out"));
  };
  ASSERT_EQ(Run(plain).status, 0);
  const auto a = pair();
  ASSERT_EQ(Run(swapped).status, 0);
  const auto b = pair();
  ASSERT_NE(a.first, b.first);
  for (int round = 0; round < 12; ++round) {
    for (const RunResult& r : test::RunMorvikAtOnce(
             {plain, swapped, plain, swapped}, {dir.Path(), dir.File("home"), "", false, "", ""}))
      EXPECT_EQ(r.status, 0) << r.err;
    const auto both = pair();
    EXPECT_TRUE(both == a || both == b) << "round " << round;
  }
}

// A set is also found as users type it: relative to the start folder, with or without
// ".PCP" in any case, or in the home folder where the window keeps its sets.
TEST_F(CommandLine, NamedSetAsTyped) {
  LearnFolderAndMap("0123456789");
  fs::create_directory(dir.File("sets"));
  SaveSet("sets/digits");
  // swapped: slots 1 and 2 exchanged.
  SwapFirstTwoLearned();
  SaveSet("home/swapped");
  Glyphs("pics", "01");
  for (const char* name : {"sets/digits", "sets/digits.PCP", "sets/DIGITS.pcp", "sets/Digits"}) {
    const RunResult r = Run({"pics", name});
    EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_EQ(Read("pics/result.out"), "01\r\n") << name;
  }
  EXPECT_EQ(Run({"pics", dir.File("sets/digits.pcp")}).status, 0);
  EXPECT_EQ(Run({"pics", "swapped"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "10\r\n");
  // The folder's own set comes first.
  fs::copy_file(dir.File("sets/digits.PCP"), dir.File("pics/swapped.pcp"));
  EXPECT_EQ(Run({"pics", "swapped.pcp"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "01\r\n");
}

// A named set that is missing, not a file or unreadable stops the run before it writes.
TEST_F(CommandLine, NamedSetThatCannotBeReadExitsWithOne) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "01");
  test::WriteFile(dir.File("pics/result.out"), "old");
  fs::create_directory(dir.File("pics/folder.pcp"));
  ASSERT_EQ(mkfifo(dir.File("fifo.PCP").c_str(), 0644), 0);
  struct Case {
    const char* name;
    std::string message;
  };
  const Case cases[] = {
      {"nothing", "set \"nothing\" not found (tried " + dir.File("pics/nothing.pcp") + ", " +
                      dir.File("nothing.pcp") + ", " + dir.File("home/nothing.pcp") + ")"},
      {"folder", dir.File("pics/folder.pcp") + ": is a folder, not a file"},
      {"fifo", dir.File("fifo.PCP") + ": is not a regular file"},
      {"../pics/folder", dir.File("pics/../pics/folder.pcp") + ": is a folder, not a file"},
  };
  for (const Case& c : cases) {
    const RunResult r = Run({"pics", c.name});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.err, "morvik: " + c.message + "\n") << c.name;
    EXPECT_EQ(Read("pics/result.out"), "old") << c.name;
  }
}

// default.pcp that is there but cannot be read stops the run (a folder or a FIFO, so that the
// test holds when run as root).
TEST_F(CommandLine, DefaultSetThatCannotBeReadExitsWithOne) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "0");
  Glyphs("fifo", "0");
  fs::create_directory(dir.File("pics/default.pcp"));
  ASSERT_EQ(mkfifo(dir.File("fifo/DEFAULT.PCP").c_str(), 0644), 0);
  RunResult r = Run({"pics"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvik: " + dir.File("pics/default.pcp") + ": is a folder, not a file\n");
  EXPECT_FALSE(fs::exists(dir.File("pics/result.out")));
  r = Run({"fifo"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "morvik: " + dir.File("fifo/DEFAULT.PCP") + ": is not a regular file\n");
  if (geteuid() != 0) {  // permissions bind only others than root
    fs::remove(dir.File("pics/default.pcp"));
    SaveSet("pics/default");
    fs::permissions(dir.File("pics/default.PCP"), fs::perms::none);
    r = Run({"pics"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.File("pics/default.PCP") + ": cannot be read"), std::string::npos)
        << r.err;
  }
}

TEST_F(CommandLine, SingleCharacterSwitchesOnCompareMode) {
  // The set comes from the settings, as the window left it; a second argument loads no default.
  LearnFolderAndMap("0123456789");
  SaveSet("home/digits");
  test::WriteFile(dir.File("home/morvik.ini"), "[Files]\r\nLastFileName=digits\r\n");
  Glyphs("pics", "171");
  EXPECT_EQ(Run({"pics", "1"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "1N1\r\n");
  // Two characters name a set; none is found, so there is no run.
  const RunResult two = Run({"pics", "11"});
  EXPECT_EQ(two.status, 1);
  EXPECT_EQ(two.err, "morvik: set \"11\" not found (tried " + dir.File("pics/11.pcp") + ", " +
                         dir.File("11.pcp") + ", " + dir.File("home/11.pcp") + ")\n");
  EXPECT_EQ(Read("pics/result.out"), "1N1\r\n");
  // A one-character name of an existing set loads the set instead.
  fs::copy_file(dir.File("home/digits.PCP"), dir.File("pics/7.pcp"));
  EXPECT_EQ(Run({"pics", "7"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "171\r\n");
}

TEST_F(CommandLine, ShortFolderSetKeepsLaterSlotsOfTheSettingsSet) {
  LearnFolderAndMap("0123456789XY");
  SaveSet("home/base");  // slots 11 and 12 hold X and Y
  test::WriteFile(dir.File("home/morvik.ini"), "[Files]\r\nLastFileName=base\r\n");
  fs::remove_all(dir.File("learn"));
  fs::create_directory(dir.File("learn"));
  for (int k = 0; k < 10; ++k)
    test::WriteGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"), "ABCDEFGHIJ"[k]);
  SaveSet("pics/default");
  fs::resize_file(dir.File("pics/default.PCP"), 10 * 517);  // ten records only
  Glyphs("pics", "AXCY");
  const RunResult r = Run({"pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("pics/result.out"), "0X2Y\r\n");
}

TEST_F(CommandLine, LearnedSlotsWinOverTheFolderSet) {
  LearnFolderAndMap("ABCDEFGHIJ");
  SaveSet("pics/default");  // slot 1 = A ... slot 10 = J
  LearnFolderAndMap("0123456789");
  test::WriteFile(dir.File("charmap.txt"), "1\t0\r\n2\t1\r\n3\t2\r\n");
  Glyphs("pics", "21");
  const RunResult r = Run({"--learn", "learn", "pics"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("pics/result.out"), "21\r\n");
}

// "0", "1" or "0." and at most 6 significant digits, as the report writes a score 0..1.
bool IsScore6(const std::string& s) {
  if (s == "0" || s == "1") return true;
  if (s.rfind("0.", 0) != 0 || s.size() < 3) return false;
  const std::size_t first = s.find_first_not_of('0', 2);
  if (first == std::string::npos || s.back() == '0') return false;
  return s.find_first_not_of("0123456789", 2) == std::string::npos && s.size() - first <= 6;
}

TEST_F(CommandLine, ReportHasHeaderAndThreeRanks) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "30");
  const RunResult r = Run({"--learn", "learn", "pics", "--report", "out/report.tsv"});
  EXPECT_EQ(r.status, 1);  // the report's folder does not exist
  fs::create_directory(dir.File("out"));
  ASSERT_EQ(Run({"--learn", "learn", "pics", "--report", "out/report.tsv"}).status, 0);
  std::istringstream in(Read("out/report.tsv"));
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    std::vector<std::string> fields;
    std::istringstream fin(line);
    for (std::string f; std::getline(fin, f, '\t');) fields.push_back(f);
    if (line.back() == '\t') fields.push_back("");
    rows.push_back(fields);
  }
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{"file", "row", "column", "no1", "char1", "score1", "no2",
                                      "char2", "score2", "no3", "char3", "score3"}));
  EXPECT_EQ(std::vector<std::string>(rows[1].begin(), rows[1].begin() + 6),
            (std::vector<std::string>{dir.File("pics/1_0.bmp"), "1", "0", "4", "3", "1"}));
  EXPECT_EQ(std::vector<std::string>(rows[2].begin(), rows[2].begin() + 6),
            (std::vector<std::string>{dir.File("pics/1_1.bmp"), "1", "1", "1", "0", "1"}));
  for (std::size_t k = 1; k < rows.size(); ++k) {
    ASSERT_EQ(rows[k].size(), 12u);
    for (int rank = 0; rank < 3; ++rank) {
      const int no = std::stoi(rows[k][3 + 3 * rank]);
      EXPECT_EQ(rows[k][4 + 3 * rank], no >= 1 && no <= 10 ? std::string(1, '0' + no - 1) : "");
      EXPECT_TRUE(IsScore6(rows[k][5 + 3 * rank])) << rows[k][5 + 3 * rank];
    }
  }
  EXPECT_EQ(Read("pics/result.out"), "30\r\n");  // the result files stay as they are
}

// A report that would replace a file the run writes is refused before anything is written.
TEST_F(CommandLine, ReportNamingARunFileIsRefused) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "1");
  fs::create_directories(dir.File("root/a"));
  test::WriteGlyph(dir.File("root/a/0_0.bmp"), '2');
  const std::vector<std::vector<std::string>> cases = {
      {"pics", "--report", "pics/result.txt"},
      {"pics", "--report", "PICS/../pics/RESULT.OUT"},
      {"pics", "--report=" + dir.File("pics/Result.Txt")},
      {"--batch", "root", "--report", "root/batchresult.txt"},
      {"--batch", "root", "--report", "root/BatchResult.out"},
      {"--batch", "root", "--report", "root/a/result.out"},
      {"--batch", "ROOT", "--report", "root/A/../a/Result.txt"},
      {"--learn", "learn", "--save", "set", "pics", "--report", "set.PCP"},
      {"--learn", "learn", "--save", "set", "--report", "set.pct"},
  };
  for (const auto& args : cases) {
    const RunResult r = Run(args);
    EXPECT_EQ(r.status, 3) << args.back();
    EXPECT_NE(r.err.find("the run itself writes"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(test::FolderEntries(dir.File("pics")) == std::vector<std::string>{"1_0.bmp"});
  EXPECT_FALSE(fs::exists(dir.File("root/batchresult.out")));
  EXPECT_FALSE(fs::exists(dir.File("set.PCP")));
  // Another sub-folder's name, or a result file of another folder, is fine.
  EXPECT_EQ(Run({"pics", "--report", "root/a/result.txt"}).status, 0);
  EXPECT_EQ(Run({"--batch", "root", "--report", "pics/result.txt"}).status, 0);
}

// A set saved over a picture it learns from (through a link, or a second name of the file)
// would leave the set where the picture was: refused, naming the picture, before any write.
TEST_F(CommandLine, SaveOverAPictureLearnedFromIsRefused) {
  LearnFolderAndMap("012");
  fs::rename(dir.File("learn/2.bmp"), dir.File("set.PCP"));
  fs::create_symlink("../set.PCP", dir.File("learn/2.bmp"));
  fs::create_hard_link(dir.File("learn/3.bmp"), dir.File("other.pct"));
  const struct {
    std::string Save, Picture;
  } cases[] = {{"set", "learn/2.bmp"}, {"SET", "learn/2.bmp"}, {"other", "learn/3.bmp"}};
  const std::vector<std::string> before = test::FolderEntries(dir.Path());
  const std::string picture = Read("set.PCP");
  for (const auto& c : cases) {
    const RunResult r = Run({"--learn", "learn", "--save", c.Save});
    EXPECT_EQ(r.status, 3) << c.Save;
    EXPECT_EQ(r.err.rfind("morvik: " + dir.File(c.Picture) + ": ", 0), 0u) << r.err;
  }
  EXPECT_EQ(test::FolderEntries(dir.Path()), before);
  EXPECT_EQ(Read("set.PCP"), picture);
  EXPECT_EQ(Run({"--learn", "learn", "--save", "new"}).status, 0);
}

TEST_F(CommandLine, LearnAndSaveWriteBothFiles) {
  LearnFolderAndMap("0123");
  const RunResult r = Run({"--learn", "learn", "--save", "sets/mine"});
  EXPECT_EQ(r.status, 1);  // sets/ does not exist: "Error writing patterns"
  EXPECT_NE(r.err.find("Error writing patterns"), std::string::npos) << r.err;
  fs::create_directory(dir.File("sets"));
  EXPECT_EQ(Run({"--learn", "learn", "--save", "sets/mine"}).status, 0);
  EXPECT_EQ(fs::file_size(dir.File("sets/mine.PCP")), 40u * 517u);
  EXPECT_EQ(fs::file_size(dir.File("sets/mine.PCT")), 517u);
  // A folder without pictures learns nothing, and saves nothing over the set there is.
  const std::string saved = Read("sets/mine.PCP");
  RunResult empty = Run({"--learn", "pics", "--save", "sets/mine"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find(dir.File("pics") + ": no pictures 1.bmp to 40.bmp"), std::string::npos)
      << empty.err;
  EXPECT_EQ(Read("sets/mine.PCP"), saved);
  EXPECT_EQ(Run({"--learn", "pics"}).status, 1);
  // The file that could not be written is named.
  const RunResult bad = Run({"--learn", "learn", "--save", "none/mine"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find(dir.File("none/mine.PCP") + ": Error writing patterns"), std::string::npos)
      << bad.err;
  EXPECT_NE(bad.err.find(dir.File("none/mine.PCT") + ": Error writing test pic"), std::string::npos)
      << bad.err;
}

// ---------------------------------------------------------------------------------------------
// Sets named with --set

// A glyph small in a large picture, away from the corner, so that cropping matters.
void WriteSmallGlyph(const std::string& path, char c, int shift) {
  const Bitmap glyph = test::GlyphBitmap(c, 24, 32);
  Bitmap b(96, 96);
  b.Fill(MakeColour(20, 20, 20));
  for (int y = 0; y < glyph.Height(); ++y)
    for (int x = 0; x < glyph.Width(); ++x) b.SetPixel(x + 20 + shift, y + 30, glyph.Pixel(x, y));
  test::WriteBmp8Grey(path, b);
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The fields of a report line (CR LF cut off).
std::vector<std::string> ReportFields(const std::string& report, std::size_t line) {
  std::istringstream in(report);
  std::string text;
  for (std::size_t k = 0; k <= line; ++k) std::getline(in, text);
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::vector<std::string> fields;
  std::istringstream fin(text);
  for (std::string f; std::getline(fin, f, '\t');) fields.push_back(f);
  return fields;
}

// One set named with --set writes the result files a run with it as the folder's set writes,
// byte for byte, in folder and batch runs, with and without options.
TEST_F(CommandLine, OneNamedSetWritesWhatTheFolderSetWrites) {
  LearnFolderAndMap("0123456789");
  fs::create_directory(dir.File("sets"));
  SaveSet("sets/digits");
  Glyphs("pics", "30715");
  fs::create_directories(dir.File("root/a"));
  fs::create_directories(dir.File("root/b"));
  test::WriteGlyph(dir.File("root/a/0_0.bmp"), '5');
  test::WriteGlyph(dir.File("root/b/1_1.bmp"), '8', 48, 64);
  test::WriteFile(dir.File("root/compare.txt"), "5\r\n9\r\n");
  const std::vector<std::vector<std::string>> options = {
      {}, {"--crop", "--tally", "60"}, {"--no-auto", "--threshold", "40"}, {"--ratio", "off"}};
  const std::vector<std::string> files = {"pics/result.txt",      "pics/result.out",
                                          "root/batchresult.txt", "root/batchresult.out",
                                          "root/a/result.txt",    "root/b/result.out"};
  for (const auto& o : options) {
    for (const std::string& name : files) fs::remove(dir.File(name));
    ASSERT_EQ(Run(Joined({"pics", "sets/digits"}, o)).status, 0);
    ASSERT_EQ(Run(Joined({"--batch", "root", "sets/digits"}, o)).status, 0);
    std::vector<std::string> positional;
    for (const std::string& name : files) positional.push_back(Read(name));
    for (const std::string& name : files) fs::remove(dir.File(name));
    ASSERT_EQ(Run(Joined({"pics", "--set", "sets/digits"}, o)).status, 0);
    ASSERT_EQ(Run(Joined({"--batch", "root", "--set", "sets/digits.pcp"}, o)).status, 0);
    for (std::size_t k = 0; k < files.size(); ++k)
      EXPECT_EQ(Read(files[k]), positional[k]) << files[k] << " " << o.size();
  }
  EXPECT_EQ(Read("pics/result.out"), "30715\r\n");
}

// Several sets: each answers with its own map, numbers 40 apart per set, scores as alone.
TEST_F(CommandLine, SeveralSetsRankTogether) {
  LearnFolderAndMap("0123456789");
  SaveSet("digits");
  LearnFolderAndMap("ABCDEFGHIJ");
  SaveSet("letters");
  fs::remove(dir.File("charmap.txt"));
  Glyphs("pics", "3C");
  ASSERT_EQ(Run({"pics", "--set", "digits"}).status, 0);
  const std::string digits = Read("pics/result.txt");
  ASSERT_EQ(Run({"pics", "--set", "letters"}).status, 0);
  const std::string letters = Read("pics/result.txt");
  const RunResult r = Run({"pics", "--set", "digits", "--set", "letters", "--report", "r.tsv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Read("pics/result.out"), "3C\r\n");
  const std::string score3 = digits.substr(2, digits.find(' ', 2) - 2);
  const std::size_t at = letters.find(' ', letters.find(' ') + 1) + 1;
  const std::string scoreC = letters.substr(at + 2, letters.find(' ', at + 2) - at - 2);
  EXPECT_EQ(Read("pics/result.txt"), "4 " + score3 + " 43 " + scoreC + "  \r\n");
  EXPECT_EQ(ReportFields(Read("r.tsv"), 0)[3], "set1");
  const std::vector<std::string> row = ReportFields(Read("r.tsv"), 2);
  ASSERT_EQ(row.size(), 15u);
  EXPECT_EQ(std::vector<std::string>(row.begin() + 3, row.begin() + 6),
            (std::vector<std::string>{"letters", "3", "C"}));
  // A batch collects each set's characters.
  fs::create_directories(dir.File("root/a"));
  test::WriteGlyph(dir.File("root/a/0_0.bmp"), 'C');
  test::WriteGlyph(dir.File("root/a/0_1.bmp"), '7');
  ASSERT_EQ(Run({"--batch", "root", "--set", "digits", "--set", "letters"}).status, 0);
  EXPECT_EQ(Read("root/batchresult.out"), "C7 \r\n");
  EXPECT_EQ(Read("root/a/result.out").substr(0, 4), "C7\r\n");
  // A library file lists the same sets; equal scores rank the earlier set first.
  test::WriteFile(dir.File("both.sets"), "digits\r\n# letters follow\r\nletters\r\n");
  const std::string both = Read("pics/result.txt");
  ASSERT_EQ(Run({"pics", "--set", "both.sets"}).status, 0);
  EXPECT_EQ(Read("pics/result.txt"), both);
  for (const char* ext : {".PCP", ".PCT", ".charmap.txt", ".set.ini"})
    fs::copy_file(dir.File(std::string("digits") + ext), dir.File(std::string("twin") + ext));
  ASSERT_EQ(Run({"pics", "--set", "twin", "--set", "digits", "--report", "r.tsv"}).status, 0);
  const std::vector<std::string> tie = ReportFields(Read("r.tsv"), 1);
  EXPECT_EQ(tie[3], "twin");
  EXPECT_EQ(tie[7], "digits");
  EXPECT_EQ(tie[4], tie[8]);
  EXPECT_EQ(Read("pics/result.txt").substr(0, 2), "4 ");
}

// A set learned with cropping reads right without the option; options given still win.
TEST_F(CommandLine, SetsCarryTheirSettings) {
  LearnFolderAndMap("0123456789");
  for (int k = 0; k < 10; ++k)
    WriteSmallGlyph(dir.File("learn/" + std::to_string(k + 1) + ".bmp"), static_cast<char>('0' + k),
                    k);
  ASSERT_EQ(Run({"--learn", "learn", "--crop", "--save", "cropped"}).status, 0);
  fs::create_directory(dir.File("pics"));
  const std::string text = "30715";
  for (std::size_t c = 0; c < text.size(); ++c)
    WriteSmallGlyph(dir.File("pics/1_" + std::to_string(c) + ".bmp"), text[c],
                    static_cast<int>(40 - 7 * c));
  ASSERT_EQ(Run({"pics", "--set", "cropped"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), text + "\r\n");
  ASSERT_EQ(Run({"pics", "cropped"}).status, 0);  // the folder's set takes no stored settings
  EXPECT_NE(Read("pics/result.out"), text + "\r\n");
  ASSERT_EQ(Run({"pics", "--set", "cropped", "--no-auto", "--threshold", "100"}).status, 0);
  EXPECT_EQ(Read("pics/result.txt"), "0 0 0 0 0 0 0 0 0 0  \r\n");
  // A set learned without cropping, used with --crop, reads as the folder's set with --crop.
  LearnFolderAndMap("0123456789");
  SaveSet("plain");
  Glyphs("pics", "30715");
  ASSERT_EQ(Run({"pics", "plain", "--crop"}).status, 0);
  const std::string cropped = Read("pics/result.txt");
  ASSERT_EQ(Run({"pics", "--set", "plain"}).status, 0);
  EXPECT_NE(Read("pics/result.txt"), cropped);
  ASSERT_EQ(Run({"pics", "--set", "plain", "--crop"}).status, 0);
  EXPECT_EQ(Read("pics/result.txt"), cropped);
}

TEST_F(CommandLine, LearnSaveStoresSettingsAndMap) {
  LearnFolderAndMap("0123456789");
  ASSERT_EQ(Run({"--learn", "learn", "--crop", "--black", "--tally", "60", "--save", "s"}).status,
            0);
  EXPECT_EQ(Read("s.set.ini"),
            "[ImageProcessing]\r\nColour=black\r\nAutoCrop=1\r\nAutodetect=1\r\nThreshold=45\r\n"
            "Increment=50\r\nAspectRatioEnable=1\r\nAspectRatio=100\r\n\r\n[Algorithm]\r\n"
            "Tally=60\r\n");
  EXPECT_EQ(Read("s.charmap.txt"), Read("charmap.txt"));
  fs::remove(dir.File("charmap.txt"));
  ASSERT_EQ(Run({"--learn", "learn", "--save", "t"}).status, 0);
  EXPECT_TRUE(fs::exists(dir.File("t.set.ini")));
  EXPECT_FALSE(fs::exists(dir.File("t.charmap.txt")));
  EXPECT_EQ(fs::file_size(dir.File("t.PCP")), 40u * 517u);
}

TEST_F(CommandLine, CharsLimitsTheCandidates) {
  LearnFolderAndMap("0123456789");
  SaveSet("digits");
  LearnFolderAndMap("ABCDEFGHIJ");
  SaveSet("letters");
  Glyphs("pics", "3C");
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  ASSERT_EQ(Run({"pics", "--set", "digits", "--set", "letters", "--chars", "0-9"}).status, 0);
  std::string out = Read("pics/result.out");
  EXPECT_EQ(out[0], '3');
  EXPECT_TRUE(isDigit(out[1])) << out;
  ASSERT_EQ(Run({"pics", "--set", "digits", "--set", "letters", "--chars", "A-Z"}).status, 0);
  out = Read("pics/result.out");
  EXPECT_FALSE(isDigit(out[0])) << out;
  EXPECT_EQ(out[1], 'C');
  // The folder's set with the run's map (letters from ./charmap.txt, learned last).
  ASSERT_EQ(Run({"pics", "letters", "--chars", "D-J"}).status, 0);
  out = Read("pics/result.out");
  EXPECT_TRUE(out[0] >= 'D' && out[0] <= 'J' && out[1] >= 'D' && out[1] <= 'J') << out;
  // Without any map there is nothing to admit.
  fs::remove(dir.File("charmap.txt"));
  fs::remove(dir.File("letters.charmap.txt"));
  RunResult r = Run({"pics", "--set", "letters", "--chars", "0-9"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("--chars needs a character map"), std::string::npos) << r.err;
  r = Run({"pics", "letters", "--chars", "A"});
  EXPECT_EQ(r.status, 3);
}

TEST_F(CommandLine, NamedSetsUsage) {
  LearnFolderAndMap("0123456789");
  SaveSet("digits");
  Glyphs("pics", "1");
  const std::vector<std::vector<std::string>> usage = {
      {"--learn", "learn", "--set", "digits", "pics"},
      {"pics", "digits", "--set", "digits"},
      {"pics", "--set", ""},
      {"pics", "--set", "digits", "--chars", "Z-A"},
  };
  for (const auto& args : usage) EXPECT_EQ(Run(args).status, 3) << args[1] << args[2];
  const std::string help = Run({"--help"}).out;
  for (const char* text : {"--set BASE", "--chars CHARS", "40 x (set position - 1)"})
    EXPECT_NE(help.find(text), std::string::npos) << text;
  const RunResult missing = Run({"pics", "--set", "digits", "--set", "nothere"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(dir.File("nothere.PCP")), std::string::npos) << missing.err;
  // A single character after the folder is compared, as with the folder's set.
  ASSERT_EQ(Run({"pics", "5", "--set", "digits"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), "N\r\n");
}

TEST_F(CommandLine, DynamicAndBatchOptions) {
  LearnFolderAndMap("0123456789");
  fs::create_directories(dir.File("root/a"));
  test::WriteGlyph(dir.File("root/a/0_0.bmp"), '5');
  test::WriteGlyph(dir.File("root/a/0_1.bmp"), '6');
  test::WriteFile(dir.File("root/compare.txt"), "56\r\n");
  EXPECT_EQ(Run({"--learn", "learn", "--dynamic", "root/a"}).status, 0);
  EXPECT_EQ(Read("root/a/result.out"), "56\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Run({"--learn", "learn", "--batch", "root"}).status, 0);
  EXPECT_EQ(Read("root/batchresult.out"), "56 \r\n");
  EXPECT_EQ(Read("root/batchresult.txt"),
            "Directory a: 2/2 (100%)\r\nExpected:   56\r\nRecognized: 56\r\n\r\n"
            "Overall for root root: 2/2 (100%)\r\n");  // the root as typed
}

TEST_F(CommandLine, ImageOptionsReachTheRun) {
  LearnFolderAndMap("0123456789");
  Glyphs("pics", "12");
  // A threshold of 100% leaves every cell empty, unless the automatic threshold replaces it.
  EXPECT_EQ(Run({"--learn", "learn", "--threshold", "100", "pics"}).status, 0);
  EXPECT_EQ(Read("pics/result.txt"), "2 1 3 1  \r\n");
  EXPECT_EQ(Run({"--learn", "learn", "--no-auto", "--threshold", "100", "pics"}).status, 0);
  EXPECT_EQ(Read("pics/result.txt"), "0 0 0 0  \r\n");
  EXPECT_EQ(Run({"--learn", "learn", "--no-auto", "--threshold", "40", "--increment", "60", "pics"})
                .status,
            0);
  EXPECT_EQ(Read("pics/result.out"), "12\r\n");
}

TEST_F(CommandLine, CharmapOption) {
  LearnFolderAndMap("0123456789");
  test::WriteFile(dir.File("letters.txt"), "1\ta\r\n2\tb\r\n");
  Glyphs("pics", "10");
  EXPECT_EQ(Run({"--learn", "learn", "pics", "--charmap", "letters.txt"}).status, 0);
  EXPECT_EQ(Read("pics/result.out"), std::string("ba\r\n"));
  const RunResult r = Run({"--learn", "learn", "pics", "--charmap", "none.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("none.txt")), std::string::npos);
  // A map given by option must hold what it claims or the run does not start: the message
  // names the file, and the line where one is at fault.
  test::WriteFile(dir.File("pics/result.out"), "old");
  fs::create_directory(dir.File("folder.txt"));
  test::WriteFile(dir.File("badline.txt"), "1\ta\r\n\r\n2\tb\r\nx2\tc\r\n");
  test::WriteFile(dir.File("several.txt"), "1\ta\r\n5\tXYZ\r\n");
  test::WriteFile(dir.File("empty.txt"), "");
  test::WriteFile(dir.File("big.txt"), std::string((1 << 20) + 1, '\n'));
  const std::pair<const char*, std::string> failures[] = {
      {"folder.txt", dir.File("folder.txt") + ": "},
      {"badline.txt", dir.File("badline.txt") + ": line 4: "},
      {"several.txt", dir.File("several.txt") + ": line 2: "},
      {"empty.txt", dir.File("empty.txt") + ": "},
      {"big.txt", dir.File("big.txt") + ": "},
  };
  for (const auto& [name, message] : failures) {
    const RunResult f = Run({"--learn", "learn", "pics", "--charmap", name});
    EXPECT_EQ(f.status, 1) << name;
    EXPECT_EQ(f.err.rfind("morvik: " + message, 0), 0u) << f.err;
    EXPECT_EQ(Read("pics/result.out"), "old") << name;
  }
  // A bad line is reported; the run goes on with the entries before it.
  test::WriteFile(dir.File("charmap.txt"), "1\tx\r\nbad\r\n2\ty\r\n");
  const RunResult bad = Run({"--learn", "learn", "pics"});
  EXPECT_EQ(bad.status, 0);
  EXPECT_NE(bad.err.find("Invalid numeric input"), std::string::npos);
  EXPECT_EQ(Read("pics/result.out"), std::string("\0x\r\n", 4));
}

// ---------------------------------------------------------------------------------------------
// Golden cases: tests/golden/<case>/case.txt describes the input and the runs; every file under
// tests/golden/<case>/expected/ must come out byte for byte ("@ROOT@" stands for the temporary
// folder). MORVIK_GOLDEN_UPDATE=1 writes the outputs there instead (check them by eye).

const std::string kGolden = std::string(MORVIK_SOURCE_DIR) + "/tests/golden";

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t k = 0; (k = text.find(from, k)) != std::string::npos; k += to.size())
    text.replace(k, from.size(), to);
  return text;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, OutputsMatch) {
  const std::string caseDir = kGolden + "/" + GetParam();
  test::TempDir dir;
  const std::string root = dir.Path();
  fs::create_directory(root + "/home");
  if (fs::exists(caseDir + "/input"))
    fs::copy(caseDir + "/input", root, fs::copy_options::recursive);
  std::ifstream in(caseDir + "/case.txt");
  ASSERT_TRUE(in) << caseDir;
  int runs = 0;
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "copy") {  // copy <source-tree path> <target>
      ASSERT_EQ(w.size(), 3u) << line;
      fs::create_directories(fs::path(root + "/" + w[2]).parent_path());
      fs::copy(std::string(MORVIK_SOURCE_DIR) + "/" + w[1], root + "/" + w[2],
               fs::copy_options::recursive);
    } else if (w[0] == "glyph") {  // glyph <target> <glyphs> <width> <height> <bits> [dark]
      ASSERT_GE(w.size(), 6u) << line;
      fs::create_directories(fs::path(root + "/" + w[1]).parent_path());
      test::WriteGlyph(root + "/" + w[1], w[2][0], std::stoi(w[3]), std::stoi(w[4]),
                       std::stoi(w[5]), w.size() > 6 && w[6] == "dark");
    } else if (w[0] == "row") {  // row <folder> <row> <glyphs> <width> <height> <bits>
      ASSERT_EQ(w.size(), 7u) << line;
      fs::create_directories(root + "/" + w[1]);
      for (std::size_t c = 0; c < w[3].size(); ++c)
        test::WriteGlyph(root + "/" + w[1] + "/" + w[2] + "_" + std::to_string(c) + ".bmp", w[3][c],
                         std::stoi(w[4]) + static_cast<int>(c % 3) * 4,
                         std::stoi(w[5]) - static_cast<int>(c % 2) * 6, std::stoi(w[6]));
    } else if (w[0] == "numbered") {  // numbered <folder> <glyphs> <width> <height> <bits>
      ASSERT_EQ(w.size(), 6u) << line;
      fs::create_directories(root + "/" + w[1]);
      for (std::size_t k = 0; k < w[2].size(); ++k)
        test::WriteGlyph(root + "/" + w[1] + "/" + std::to_string(k + 1) + ".bmp", w[2][k],
                         std::stoi(w[3]), std::stoi(w[4]), std::stoi(w[5]));
    } else if (w[0] == "run") {  // run <status> <arguments...>
      ASSERT_GE(w.size(), 2u) << line;
      const RunResult r =
          RunMorvik(std::vector<std::string>(w.begin() + 2, w.end()), root, root + "/home");
      EXPECT_EQ(r.status, std::stoi(w[1])) << line << "\n" << r.err;
      ++runs;
    } else {
      FAIL() << "unknown directive: " << line;
    }
  }
  ASSERT_GT(runs, 0);
  const bool update = std::getenv("MORVIK_GOLDEN_UPDATE") != nullptr;
  const std::string expected = caseDir + "/expected";
  if (update) {
    for (const auto& e : fs::recursive_directory_iterator(expected)) {
      if (!e.is_regular_file()) continue;
      const std::string rel = fs::relative(e.path(), expected).string();
      test::WriteFile(e.path().string(), Replace(test::ReadFile(root + "/" + rel), root, "@ROOT@"));
    }
    GTEST_SKIP() << "expected files of " << GetParam() << " rewritten";
  }
  int compared = 0;
  for (const auto& e : fs::recursive_directory_iterator(expected)) {
    if (!e.is_regular_file()) continue;
    const std::string rel = fs::relative(e.path(), expected).string();
    ASSERT_TRUE(fs::exists(root + "/" + rel)) << rel << " was not written";
    EXPECT_EQ(test::ReadFile(root + "/" + rel),
              Replace(test::ReadFile(e.path().string()), "@ROOT@", root))
        << GetParam() << ": " << rel;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

std::vector<std::string> GoldenCases() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kGolden))
    if (fs::exists(e.path() / "case.txt")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(GoldenCases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace_if(
                               name.begin(), name.end(), [](char c) { return !isalnum(c); }, '_');
                           return name;
                         });

}  // namespace
}  // namespace morvik
