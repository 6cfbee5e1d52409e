// Tests of the settings file: defaults, how each value form is read, the round trip, what
// closing writes, a file that cannot be written, and the start-up order of FormCreate.
#include "form/form_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> NonEmptyLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool AllLinesEndInCrLf(const std::string& text) {
  for (std::size_t k = 0; k < text.size(); ++k)
    if (text[k] == '\n' && (k == 0 || text[k - 1] != '\r')) return false;
  return !text.empty() && text.back() == '\n';
}

class Settings : public testing::Test {
 protected:
  Settings() : ws(dir.Path(), dir.File("start")) { fs::create_directory(dir.File("start")); }
  std::string Ini() const { return dir.File("morvik.ini"); }
  void Read(const std::string& content) {
    test::WriteFile(Ini(), content);
    ReadSettings(ws, Ini());
  }

  test::TempDir dir;
  Workspace ws;
};

TEST_F(Settings, NoFileGivesDefaultsAndClosingWritesAllButLastFileName) {
  ReadSettings(ws, SettingsPath(ws));
  EXPECT_EQ(ws.EditOpenFile(), "");
  EXPECT_EQ(ws.EditPatternsBatch, "patterns");
  EXPECT_EQ(ws.EditTally(), "75");
  EXPECT_EQ(ws.Tally(), 0.75);
  EXPECT_TRUE(ws.Image.Settings.CheckBoxRatio);
  EXPECT_FALSE(ws.CheckBoxDynamic);
  EXPECT_EQ(ws.Image.Settings.SpinEditRatio(), 100);
  EXPECT_EQ(ws.CurrentSetName, "");
  EXPECT_EQ(SettingsPath(ws), Ini());

  WriteSettings(ws, SettingsPath(ws));
  const std::string text = test::ReadFile(Ini());
  EXPECT_TRUE(AllLinesEndInCrLf(text)) << text;
  EXPECT_EQ(NonEmptyLines(text),
            (std::vector<std::string>{
                "[Files]", "LastRecognizeName=patterns", "DynamicFileNameSearch=0", "[Algorithm]",
                "Tally=75", "[ImageProcessing]", "AspectRatioEnable=1", "AspectRatio=100"}));
}

struct ValueCase {
  std::string file;
  std::string tallyText;
  double tally;
  bool ratioEnabled, dynamic;
  int ratio;
};

TEST_F(Settings, ValueForms) {
  const std::vector<ValueCase> cases = {
      {"[Algorithm]\nTally=60\n", "60", 0.6, true, false, 100},
      {"[Algorithm]\nTally=abc\n", "abc", 0.0, true, false, 100},
      {"[Algorithm]\nTally= 42 \n", "42", 0.42, true, false, 100},
      {"[Algorithm]\nTally=0x50\n", "0x50", 0.8, true, false, 100},
      {"[Algorithm]\nTally=\n", "", 0.0, true, false, 100},
      {"[ImageProcessing]\nAspectRatio=250\n", "75", 0.75, true, false, 100},
      {"[ImageProcessing]\nAspectRatio=0\n", "75", 0.75, true, false, 1},
      {"[ImageProcessing]\nAspectRatio=-7\n", "75", 0.75, true, false, 1},
      {"[ImageProcessing]\nAspectRatio=0x32\n", "75", 0.75, true, false, 50},
      {"[ImageProcessing]\nAspectRatio=0X1F\n", "75", 0.75, true, false, 31},
      {"[ImageProcessing]\nAspectRatio=half\n", "75", 0.75, true, false, 100},
      {"[ImageProcessing]\nAspectRatio=-2147483648\n", "75", 0.75, true, false, 1},
      {"[ImageProcessing]\nAspectRatio=2147483648\n", "75", 0.75, true, false, 100},
      {"[Algorithm]\nTally=150\n", "150", 1.5, true, false, 100},
      {"[ImageProcessing]\nAspectRatio=0x\n", "75", 0.75, true, false, 100},
      {"[ImageProcessing]\nAspectRatioEnable=0\n", "75", 0.75, false, false, 100},
      {"[ImageProcessing]\nAspectRatioEnable=no\n", "75", 0.75, true, false, 100},
      {"[Files]\nDynamicFileNameSearch=1\n", "75", 0.75, true, true, 100},
      {"[Files]\nDynamicFileNameSearch=0x10\n", "75", 0.75, true, true, 100},
      {"[Files]\nDynamicFileNameSearch=-1\n", "75", 0.75, true, true, 100},
      {"[Files]\nDynamicFileNameSearch=true\n", "75", 0.75, true, false, 100},
      {"[files]\r\ndynamicfilenamesearch=1\r\n[ALGORITHM]\r\nTALLY=30\r\n", "30", 0.3, true, true,
       100},
  };
  for (const ValueCase& c : cases) {
    Workspace fresh(dir.Path(), dir.Path());
    test::WriteFile(Ini(), c.file);
    ReadSettings(fresh, Ini());
    EXPECT_EQ(fresh.EditTally(), c.tallyText) << c.file;
    EXPECT_EQ(fresh.Tally(), c.tally) << c.file;
    EXPECT_EQ(fresh.Image.Settings.CheckBoxRatio, c.ratioEnabled) << c.file;
    EXPECT_EQ(fresh.CheckBoxDynamic, c.dynamic) << c.file;
    EXPECT_EQ(fresh.Image.Settings.SpinEditRatio(), c.ratio) << c.file;
  }
}

TEST_F(Settings, TextAsShownAndClampedRatioAreWrittenBack) {
  Read("[Algorithm]\r\nTally=abc\r\n[ImageProcessing]\r\nAspectRatio=250\r\n");
  WriteSettings(ws, Ini());
  const std::vector<std::string> lines = NonEmptyLines(test::ReadFile(Ini()));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Tally=abc"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "AspectRatio=100"), lines.end());
}

TEST_F(Settings, RoundTripKeepsOtherKeysAndOldLastFileName) {
  Read("; kept\r\n[Files]\r\nLastFileName=old/set\r\nOther=x\r\n[Mine]\r\nK=v\r\n");
  EXPECT_EQ(ws.EditOpenFile(), "old/set");
  EXPECT_EQ(ws.CurrentSetName, "");  // no old/set.PCP
  ws.EditPatternsBatch = "digits dir";
  ws.SetEditTally("60");
  ws.Image.Settings.CheckBoxRatio = false;
  ws.CheckBoxDynamic = true;
  ws.Image.Settings.SetSpinEditRatio(37);
  WriteSettings(ws, Ini());
  const std::string text = test::ReadFile(Ini());
  EXPECT_TRUE(AllLinesEndInCrLf(text));
  for (const char* line : {"; kept", "LastFileName=old/set", "Other=x", "[Mine]", "K=v"})
    EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;

  Workspace again(dir.Path(), dir.Path());
  ReadSettings(again, Ini());
  EXPECT_EQ(again.EditPatternsBatch, "digits dir");
  EXPECT_EQ(again.EditTally(), "60");
  EXPECT_EQ(again.Tally(), 0.6);
  EXPECT_FALSE(again.Image.Settings.CheckBoxRatio);
  EXPECT_TRUE(again.CheckBoxDynamic);
  EXPECT_EQ(again.Image.Settings.SpinEditRatio(), 37);
}

TEST_F(Settings, LastFileNameIsWrittenRelativeToHome) {
  fs::create_directory(dir.File("sets"));
  ws.SavePatternSet(dir.File("sets/digits"));
  ASSERT_EQ(ws.CurrentSetName, dir.File("sets/digits"));
  WriteSettings(ws, Ini());
  EXPECT_NE(test::ReadFile(Ini()).find("LastFileName=sets/digits\r\n"), std::string::npos);

  Workspace again(dir.Path(), dir.File("start"));
  ReadSettings(again, Ini());
  EXPECT_EQ(again.EditOpenFile(), "sets/digits");
  EXPECT_EQ(again.CurrentSetName, "sets/digits");  // its .PCP exists beside the home folder
}

TEST_F(Settings, UnwritableFileKeepsOldContent) {
  const std::string old = "[Algorithm]\r\nTally=50\r\n";
  test::WriteFile(Ini(), old);
  const std::size_t entries = test::FolderEntries(dir.Path()).size();
  ws.SetEditTally("90");
  try {
    test::FileSizeLimit limit(4);  // the new file cannot be written
    WriteSettings(ws, Ini());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + Ini());
  }
  EXPECT_EQ(test::ReadFile(Ini()), old);
  EXPECT_EQ(test::FolderEntries(dir.Path()).size(), entries);  // no temporary left behind
}

// Judged by the mode bits, so that root too leaves a read-only file alone.
TEST_F(Settings, ReadOnlyFileIsNotReplaced) {
  const std::string old = "[Algorithm]\r\nTally=50\r\n";
  test::WriteFile(Ini(), old);
  fs::permissions(Ini(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_THROW(WriteSettings(ws, Ini()), Error);
  EXPECT_EQ(test::ReadFile(Ini()), old);
}

TEST_F(Settings, MissingFolderIsReported) {
  const std::string path = dir.File("none/morvik.ini");
  try {
    WriteSettings(ws, path);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
}

TEST_F(Settings, LinkIsWrittenThrough) {
  fs::create_directory(dir.File("real"));
  test::WriteFile(dir.File("real/morvik.ini"), "[Algorithm]\r\nTally=50\r\n");
  fs::create_symlink(dir.File("real/morvik.ini"), Ini());
  WriteSettings(ws, Ini());
  EXPECT_TRUE(fs::is_symlink(Ini()));
  EXPECT_NE(test::ReadFile(dir.File("real/morvik.ini")).find("Tally=75"), std::string::npos);
}

TEST_F(Settings, FormCreateOpensLastSetAndReadsMapFromStartFolder) {
  // A set of two patterns saved in the home folder and named in the settings.
  ws.Bank.Slot(2).At(3, 4) = TPatternCell{1, 100};
  ws.SavePatternSet("digits");
  test::WriteFile(Ini(), "[Files]\r\nLastFileName=digits\r\n[Algorithm]\r\nTally=60\r\n");
  test::WriteFile(dir.File("start/charmap.txt"), "2\tX\r\nbad\r\n");
  test::WriteFile(dir.File("charmap.txt"), "2\tY\r\n");  // the home folder's is not read

  Workspace fresh(dir.Path(), dir.File("start"));
  EXPECT_EQ(FormCreate(fresh), dir.File("start/charmap.txt") + ": Invalid numeric input");
  EXPECT_EQ(fresh.CurrentSetName, "digits");
  EXPECT_EQ(fresh.Bank.Slot(2).At(3, 4).Mark, 1);
  EXPECT_EQ(fresh.Tally(), 0.6);
  EXPECT_TRUE(fresh.Chars.CharMapLoaded);
  EXPECT_EQ(fresh.Chars.CharMap[2], 'X');
}

TEST_F(Settings, FormCreateWithoutFilesStartsEmpty) {
  Workspace fresh(dir.Path(), dir.File("start"));
  EXPECT_EQ(FormCreate(fresh), "");
  EXPECT_EQ(fresh.CurrentSetName, "");
  EXPECT_FALSE(fresh.Chars.CharMapLoaded);
  EXPECT_FALSE(fs::exists(Ini()));  // reading never creates the file
}

}  // namespace
}  // namespace morvik
