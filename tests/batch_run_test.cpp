// Tests of batch recognition: sub-folder order and selection, thumbnail rows across
// sub-folders, the collected texts, "compare.txt" reading, position counting and the exact
// lines of "batchresult.txt" and "batchresult.out".
#include "runs/batch_run.h"
#include "form/run_buttons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "golden/glyphs.h"
#include "runs/learning.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

TEST(ListSubfolders, CaseInsensitiveOrderPlainFoldersOnly) {
  test::TempDir dir;
  for (const char* name :
       {"b", "A", "a", "B2", "_x", "Zed", "z1", "[q", ".hidden", "set10", "set9"})
    fs::create_directory(dir.File(name));
  test::WriteFile(dir.File("file"), "");
  fs::create_directory_symlink(dir.File("b"), dir.File("link"));
  EXPECT_EQ(
      ListSubfolders(dir.Path()),
      (std::vector<std::string>{"A", "a", "b", "B2", "set10", "set9", "z1", "Zed", "[q", "_x"}));
  EXPECT_TRUE(ListSubfolders(dir.File("missing")).empty());
}

TEST(SplitCompareLines, LineEndsAndLoneCarriageReturns) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"12 34\r\n56\r\n", {"12 34", "56"}},
      {"12 34\n56", {"12 34", "56"}},
      {"1\r3\r\n", {"13"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"", {}},
      {"x\r", {"x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCompareLines(c.text), c.lines) << c.text;
}

TEST(CountMatches, TrimsInPlaceAndComparesPositionByPosition) {
  struct Case {
    std::string expected, recognised, trimmedExpected, trimmedRecognised;
    int hits, compared, percent;
  };
  const std::vector<Case> cases = {
      {"1234", "124 ", "1234", "124", 2, 3, 66},
      {"12 34", "12 34 ", "12 34", "12 34", 5, 5, 100},
      {" \t12\r",
       std::string("\0"
                   "12\0",
                   4),
       "12", "12", 2, 2, 100},
      {"abc", "ABC", "abc", "ABC", 0, 3, 0},
      {"1234", "13", "1234", "13", 1, 2, 50},
      {"", "12 ", "", "12", 0, 0, 0},
      {"907", "", "907", "", 0, 0, 0},
      {"1 2", "1  2", "1 2", "1  2", 2, 3, 66},
  };
  for (Case c : cases) {
    const MatchCount m = CountMatches(c.expected, c.recognised);
    EXPECT_EQ(c.expected, c.trimmedExpected);
    EXPECT_EQ(c.recognised, c.trimmedRecognised);
    EXPECT_EQ(m.Hits, c.hits) << c.trimmedExpected;
    EXPECT_EQ(m.Compared, c.compared) << c.trimmedExpected;
    EXPECT_EQ(MatchPercent(m), c.percent) << c.trimmedExpected;
  }
}

struct RecordingView : WorkspaceView {
  std::vector<std::string> thumbnails;  // "<folder>/<file>@<row>,<column>"
  std::vector<std::string> progress;    // "<done>/<total>"
  std::vector<std::string> messages;
  int cleared = 0;
  void ThumbnailsCleared() override { ++cleared; }
  void Message(const std::string& text) override { messages.push_back(text); }
  void Progress(const std::string&, int done, int total) override {
    progress.push_back(std::to_string(done) + "/" + std::to_string(total));
  }
  void ImageRecognized(const RecognizedImage& r) override {
    const fs::path p(r.FileName);
    thumbnails.push_back(p.parent_path().filename().string() + "/" + p.filename().string() + "@" +
                         std::to_string(r.Row) + "," + std::to_string(r.Column));
  }
};

class BatchRun : public testing::Test {
 protected:
  BatchRun() : ws(dir.Path(), dir.Path()) {
    ws.SetView(&view);
    fs::create_directories(dir.File("root"));
    ws.EditPatternsBatch = "root";
    fs::create_directory(dir.File("learn"));
    const std::string digits = "0123456789";
    for (std::size_t k = 0; k < digits.size(); ++k) {
      const std::string name = dir.File("learn/" + std::to_string(k + 1) + ".bmp");
      test::WriteGlyph(name, digits[k]);
      LearnPattern(ws.Prepared(), static_cast<int>(k + 1), name);
      ws.Chars.CharMap[k + 1] = digits[k];
    }
    ws.Chars.CharMapLoaded = true;
  }
  // Sub-folder `name` with the glyph rows given as "<row>:<glyphs>", columns from 0.
  void Folder(const std::string& name, const std::vector<std::string>& rows) {
    fs::create_directories(dir.File("root/" + name));
    for (const std::string& row : rows) {
      const std::size_t colon = row.find(':');
      for (std::size_t c = 0; c + colon + 1 < row.size(); ++c)
        if (row[colon + 1 + c] != '.')
          test::WriteGlyph(dir.File("root/" + name + "/" + row.substr(0, colon) + "_" +
                                    std::to_string(c) + ".bmp"),
                           row[colon + 1 + c]);
    }
  }
  std::string Root(const std::string& name) { return test::ReadFile(dir.File("root/" + name)); }

  test::TempDir dir;
  RecordingView view;
  Workspace ws;
};

TEST_F(BatchRun, ThumbnailRowsFollowAcrossSubfoldersAndReportIsExact) {
  Folder("b", {"3:56"});
  Folder("a", {"0:12", "1:34"});
  test::WriteFile(dir.File("root/compare.txt"), "12 34\r\n56\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(view.thumbnails,
            (std::vector<std::string>{"a/0_0.bmp@1,0", "a/0_1.bmp@1,1", "a/1_0.bmp@2,0",
                                      "a/1_1.bmp@2,1", "b/3_0.bmp@3,0", "b/3_1.bmp@3,1"}));
  EXPECT_EQ(ws.ThumbnailRow, 4);
  EXPECT_EQ(Root("batchresult.out"), "12 34 \r\n56 \r\n");
  EXPECT_EQ(Root("batchresult.txt"),
            "Directory a: 5/5 (100%)\r\n"
            "Expected:   12 34\r\n"
            "Recognized: 12 34\r\n"
            "\r\n"
            "Directory b: 2/2 (100%)\r\n"
            "Expected:   56\r\n"
            "Recognized: 56\r\n"
            "\r\n"
            "Overall for root root: 7/7 (100%)\r\n");
  // Each sub-folder has its own result files with 11 lines.
  const std::string out = Root("b/result.out");
  EXPECT_EQ(out, "\r\n\r\n\r\n56\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Root("a/result.txt").substr(0, 19), "2 1 3 1  \r\n4 1 5 1 ");
}

TEST_F(BatchRun, PartialMatchTruncatesPercentAndGapsShiftNothing) {
  Folder("c", {"0:12.4"});  // 0_2 missing: the row still goes on (dynamic names)
  test::WriteFile(dir.File("root/compare.txt"), "1234");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "124 \r\n");
  EXPECT_EQ(Root("batchresult.txt"),
            "Directory c: 2/3 (66%)\r\nExpected:   1234\r\nRecognized: 124\r\n\r\n"
            "Overall for root root: 2/3 (66%)\r\n");
}

TEST_F(BatchRun, LoneCarriageReturnInCompareLineIsDropped) {
  Folder("d", {"0:13"});
  test::WriteFile(dir.File("root/compare.txt"), "1\r3\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.txt").substr(0, 45),
            "Directory d: 2/2 (100%)\r\nExpected:   13\r\nReco");
}

TEST_F(BatchRun, WithoutMapTextsAreEmpty) {
  ws.Chars.CharMapLoaded = false;
  Folder("a", {"0:12"});
  Folder("b", {"0:3"});
  test::WriteFile(dir.File("root/compare.txt"), "12\r\n3\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "\r\n\r\n");
  EXPECT_EQ(Root("batchresult.txt"),
            "Directory a: 0/0 (0%)\r\nExpected:   12\r\nRecognized: \r\n\r\n"
            "Directory b: 0/0 (0%)\r\nExpected:   3\r\nRecognized: \r\n\r\n"
            "Overall for root root: 0/0 (0%)\r\n");
  EXPECT_EQ(Root("a/result.out").substr(0, 4), "23\r\n");  // the digits still go there
}

TEST_F(BatchRun, CompareModeCollectsNoText) {
  ws.Chars.CharCompareMode = true;
  ws.Chars.ExpectedChar = '1';
  Folder("a", {"0:12"});
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "\r\n");
  EXPECT_EQ(Root("a/result.out").substr(0, 4), "1N\r\n");
}

TEST_F(BatchRun, RowEndingInBlankGetsNoSecondBlank) {
  ws.Chars.CharMap[2] = ' ';  // the glyph 1 reads as a blank
  Folder("a", {"0:21", "1:3"});
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "2 3 \r\n");
}

// A root typed in another case is found, and progress counts its images, done and in all.
TEST_F(BatchRun, RootInAnyCaseAndProgressCountsImages) {
  Folder("a", {"0:12"});
  Folder("b", {"0:3"});
  ws.EditPatternsBatch = "ROOT";
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "12 \r\n3 \r\n");
  EXPECT_EQ(view.progress, (std::vector<std::string>{"2/3", "3/3"}));
}

TEST_F(BatchRun, RootWithoutSubfolders) {
  test::WriteFile(dir.File("root/compare.txt"), "12\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.out"), "");
  EXPECT_EQ(Root("batchresult.txt"), "Overall for root root: 0/0 (0%)\r\n");
}

TEST_F(BatchRun, NoCompareFileLeavesReportEmpty) {
  Folder("a", {"0:7"});
  test::WriteFile(dir.File("root/batchresult.txt"), "old");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_TRUE(fs::exists(dir.File("root/batchresult.txt")));
  EXPECT_EQ(Root("batchresult.txt"), "");
  EXPECT_EQ(Root("batchresult.out"), "7 \r\n");
}

TEST_F(BatchRun, MoreSubfoldersThanCompareLines) {
  Folder("a", {"0:1"});
  Folder("b", {"0:2"});
  Folder(".skip", {"0:9"});  // neither recognised nor given a line
  test::WriteFile(dir.File("root/compare.txt"), "1\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("batchresult.txt"),
            "Directory a: 1/1 (100%)\r\nExpected:   1\r\nRecognized: 1\r\n\r\n"
            "Directory b: 0/0 (0%)\r\nExpected:   \r\nRecognized: 2\r\n\r\n"
            "Overall for root root: 1/1 (100%)\r\n");
  EXPECT_FALSE(fs::exists(dir.File("root/.skip/result.txt")));
}

TEST_F(BatchRun, MissingRootWritesNothing) {
  ws.EditPatternsBatch = "absent";
  ws.ThumbnailRow = 9;
  EXPECT_FALSE(ButtonRecBatchClick(ws));
  EXPECT_EQ(ws.ThumbnailRow, 1);
  EXPECT_EQ(view.cleared, 1);
  EXPECT_FALSE(fs::exists(dir.File("absent")));
  ws.EditPatternsBatch = "";  // names no folder, not the home folder
  fs::create_directory(dir.File("sub"));
  EXPECT_FALSE(ButtonRecBatchClick(ws));
  EXPECT_FALSE(fs::exists(dir.File("batchresult.out")));
}

// A picture that cannot be read counts as blank (pattern 0, CharMap[0]); the batch finishes
// every folder and file, then lists the picture in one message.
TEST_F(BatchRun, UnreadableBitmapIsBlankAndTheBatchGoesOn) {
  ws.Chars.CharMap[0] = '?';
  Folder("a", {"0:12"});
  Folder("b", {"0:3.5"});
  test::WriteFile(dir.File("root/b/0_1.bmp"), "broken");
  test::WriteFile(dir.File("root/compare.txt"), "12\r\n345\r\n");
  ASSERT_TRUE(ButtonRecBatchClick(ws));
  EXPECT_EQ(Root("a/result.out"), "12\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Root("b/result.out"), "3?5\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Root("b/result.txt").substr(0, 15), "4 1 0 0 6 1  \r\n");
  EXPECT_EQ(Root("batchresult.out"), "12 \r\n3?5 \r\n");
  const std::string report =
      "Directory a: 2/2 (100%)\r\nExpected:   12\r\nRecognized: 12\r\n\r\n"
      "Directory b: 2/3 (66%)\r\n";
  EXPECT_EQ(Root("batchresult.txt").substr(0, report.size()), report);
  EXPECT_EQ(view.thumbnails.size(), 5u);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_NE(view.messages[0].find("\n" + dir.File("root/b/0_1.bmp") + ": "), std::string::npos)
      << view.messages[0];
}

TEST_F(BatchRun, RecognizeSubfolderOfMissingFolderIsEmpty) {
  int row = 5;
  RunObserver quiet;
  std::vector<std::string> failed;
  EXPECT_EQ(RecognizeSubfolder(ws.Domain, dir.File("root/none"), row, quiet, failed), "");
  EXPECT_EQ(row, 5);
  EXPECT_TRUE(failed.empty());
}

}  // namespace
}  // namespace morvik
