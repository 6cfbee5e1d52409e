// The settings a set was learned with: the file's exact text, reading back, unknown and bad
// keys, merging with a run's options, and the round trip through the image settings.
#include "library/set_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "error_of.h"
#include "session/recognition.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

using test::ErrorOf;
using test::KindAndFileOf;

SetSettings Full() {
  SetSettings s;
  s.Black = true;
  s.AutoCrop = true;
  s.Autodetect = false;
  s.Threshold = 38;
  s.Increment = 0;
  s.AspectRatioEnable = false;
  s.AspectRatio = 100;
  s.Tally = 80;
  return s;
}

TEST(SetSettings, WritesEveryStoredKeyWithCrLfAndReadsThemBack) {
  test::TempDir dir;
  SaveSetSettings(dir.File("caps"), Full());
  EXPECT_EQ(test::ReadFile(dir.File("caps.set.ini")),
            "[ImageProcessing]\r\nColour=black\r\nAutoCrop=1\r\nAutodetect=0\r\n"
            "Threshold=38\r\nIncrement=0\r\nAspectRatioEnable=0\r\nAspectRatio=100\r\n\r\n"
            "[Algorithm]\r\nTally=80\r\n");
  EXPECT_EQ(LoadSetSettings(dir.File("caps")), Full());

  // Only what is stored is written, and only that comes back.
  SetSettings some;
  some.Black = false;
  some.Tally = 0;
  SaveSetSettings(dir.File("caps"), some);
  EXPECT_EQ(test::ReadFile(dir.File("caps.set.ini")),
            "[ImageProcessing]\r\nColour=white\r\n\r\n[Algorithm]\r\nTally=0\r\n");
  EXPECT_EQ(LoadSetSettings(dir.File("caps")), some);
  some = SetSettings{};
  some.Tally = 100;
  EXPECT_EQ(FormatSetSettings(some), "[Algorithm]\r\nTally=100\r\n");

  // Nothing stored: the set carries no settings file.
  SaveSetSettings(dir.File("caps"), SetSettings{});
  EXPECT_FALSE(fs::exists(dir.File("caps.set.ini")));
  EXPECT_TRUE(IsEmpty(LoadSetSettings(dir.File("caps"))));
}

TEST(SetSettings, ReadsHandWrittenFilesLeniently) {
  const std::string text =
      "; learned from Nimbus Sans\n"
      "[imageprocessing]\n"
      "colour = Black\n"
      "AUTOCROP=1\n"
      "Smoothing=7\n"  // unknown keys and sections are ignored
      "[Later]\n"
      "Threshold=bad\n"
      "[Algorithm]\r\n"
      "Tally = 75\r\n";
  SetSettings want;
  want.Black = true;
  want.AutoCrop = true;
  want.Tally = 75;
  EXPECT_EQ(ParseSetSettings(text, "x.set.ini"), want);
  EXPECT_TRUE(IsEmpty(ParseSetSettings("", "x.set.ini")));
}

TEST(SetSettings, BadValuesNameFileAndKey) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[ImageProcessing]\nColour=grey\n",
       "[ImageProcessing] Colour: \"grey\" is not white or black"},
      {"[ImageProcessing]\nAutoCrop=yes\n", "[ImageProcessing] AutoCrop: \"yes\" is not 0 or 1"},
      {"[ImageProcessing]\nAutodetect=2\n", "[ImageProcessing] Autodetect: \"2\" is not 0 or 1"},
      {"[ImageProcessing]\nAspectRatioEnable=\n", "AspectRatioEnable: \"\" is not 0 or 1"},
      {"[ImageProcessing]\nThreshold=101\n",
       "Threshold: \"101\" is not a whole number from 0 to 100"},
      {"[ImageProcessing]\nIncrement=-1\n", "Increment: \"-1\""},
      {"[ImageProcessing]\nAspectRatio=0\n",
       "AspectRatio: \"0\" is not a whole number from 1 to 100"},
      {"[ImageProcessing]\nAspectRatio=0x40\n", "AspectRatio: \"0x40\""},
      {"[Algorithm]\nTally=99999999999\n", "[Algorithm] Tally: \"99999999999\""},
      {"[Algorithm]\nTally=7.5\n", "[Algorithm] Tally: \"7.5\""},
  };
  for (const auto& [text, problem] : cases) {
    const std::string message = ErrorOf([&] { ParseSetSettings(text, "dir/a.set.ini"); });
    EXPECT_EQ(message.rfind("dir/a.set.ini: ", 0), 0u) << message;
    EXPECT_NE(message.find(problem), std::string::npos) << message;
  }
}

// Any text is read or refused with an Error: pieces of settings files shuffled with bytes of
// every value.
TEST(SetSettings, ArbitraryTextIsReadOrRefused) {
  const std::vector<std::string> pieces = {"[ImageProcessing]",
                                           "[Algorithm]",
                                           "[",
                                           "]",
                                           "=",
                                           "\n",
                                           "\r\n",
                                           ";",
                                           "Colour",
                                           "Tally",
                                           "Threshold",
                                           "AspectRatio",
                                           "AutoCrop",
                                           "1",
                                           "0",
                                           "100",
                                           "black",
                                           " ",
                                           "\\",
                                           "<<<EOT"};
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> piece(0, static_cast<int>(pieces.size()) + 3), byte(0, 255);
  for (int n = 0; n < 3000; ++n) {
    std::string text;
    for (int k = n % 40; k >= 0; --k) {
      const int p = piece(rng);
      text += p < static_cast<int>(pieces.size()) ? pieces[static_cast<std::size_t>(p)]
                                                  : std::string(1, static_cast<char>(byte(rng)));
    }
    try {
      const SetSettings s = ParseSetSettings(text, "f.set.ini");
      EXPECT_LE(s.Tally.value_or(0), 100);
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("f.set.ini: ", 0), 0u) << e.what();
    }
  }
}

TEST(SetSettings, FilesThatCannotBeUsedAreErrors) {
  test::TempDir dir;
  fs::create_directory(dir.File("folder.set.ini"));
  EXPECT_NE(ErrorOf([&] { LoadSetSettings(dir.File("folder")); }).find("is not a regular file"),
            std::string::npos);
  // Lines that are no setting, section or comment, a key given twice and a bad value are
  // refused naming the file and the line.
  const struct {
    std::string text;
    int line;
  } bad[] = {{"[Algorithm]\nTally=x\n", 2},
             {"[ImageProcessing]\r\nThreshold=50\r\n\r\nthreshold = 60\r\n", 4},
             {"; comment\n[Algorithm]\nTally 50\n", 3},
             {"\x89PNG\r\n", 1},
             {"[ImageProcessing]\nColour=grey\n", 2}};
  for (const auto& c : bad) {
    test::WriteFile(dir.File("BAD.SET.INI"), c.text);
    const test::Caught e = test::CatchError([&] { LoadSetSettings(dir.File("bad")); });
    EXPECT_EQ(e.Kind, ErrorKind::kBadData) << c.text;
    EXPECT_EQ(e.File, dir.File("BAD.SET.INI"));
    EXPECT_EQ(e.Message.rfind(e.File + ": line " + std::to_string(c.line) + ": ", 0), 0u)
        << e.Message;
  }
  // A value the file could not hold back is refused before anything is written.
  SetSettings s;
  s.Tally = 150;
  EXPECT_NE(ErrorOf([&] { SaveSetSettings(dir.File("new"), s); }).find("Tally: \"150\""),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir.File("new.set.ini")));
  const test::Caught e =
      test::CatchError([&] { SaveSetSettings("/nonexistent-folder/x", Full()); });
  EXPECT_EQ(e.Kind, ErrorKind::kCannotWrite);
  EXPECT_EQ(e.File, "/nonexistent-folder/x.set.ini");
}

TEST(SetSettings, OptionsGivenForTheRunWinOverStoredOnes) {
  SetSettings stored = Full();
  stored.Threshold.reset();
  SetSettings options;
  options.Black = false;     // --white ... overrides
  options.AspectRatio = 60;  // --ratio 60 gives both
  options.AspectRatioEnable = true;
  options.Threshold = 50;  // fills what the set does not store
  SetSettings want = Full();
  want.Black = false;
  want.AspectRatio = 60;
  want.AspectRatioEnable = true;
  want.Threshold = 50;
  EXPECT_EQ(MergeSettings(stored, options), want);
  EXPECT_EQ(MergeSettings(stored, SetSettings{}), stored);
  EXPECT_EQ(MergeSettings(SetSettings{}, options), options);
}

TEST(SetSettings, TallyFractionIsTheTallyControlsValue) {
  for (int percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(TallyFraction(percent), TallyOf(std::to_string(percent))) << percent;
  }
}

}  // namespace
}  // namespace morvik
