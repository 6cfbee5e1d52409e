// The reading window's form and the teaching it rests on: a picture read with the stock
// library, a box selected by the picture and by the text, a correction taught into a user
// set that the next reading takes, undone exactly; sets that fill continue in the library
// file; refusals with their kinds; a reading cancelled; zoom and pan keeping boxes in place.
#include "form/picture_form.h"

#include <gtest/gtest.h>

#include "core/file_names.h"
#include "core/set_files.h"
#include "error_of.h"
#include "library/reference_library.h"
#include "test_util.h"

namespace morvik::test {
namespace {

const std::string kNote = std::string(MORVIK_SOURCE_DIR) + "/examples/pictures/note.png";

// The first character read as a letter, and a letter it is not.
CharPlace FirstLetter(const PictureForm& form, std::string& other) {
  const Reading& r = *form.Current();
  for (std::size_t l = 0; l < r.Lines.size(); ++l)
    for (std::size_t i = 0; i < r.Lines[l].Chars.size(); ++i) {
      const ReadChar& c = r.Lines[l].Chars[i];
      if (!c.Rejected && c.Text.size() == 1 &&
          std::isalpha(static_cast<unsigned char>(c.Text[0]))) {
        other = c.Text == "k" ? "x" : "k";
        return {static_cast<int>(l), static_cast<int>(i)};
      }
    }
  ADD_FAILURE() << "no letter read";
  return {};
}

class PictureFormTest : public testing::Test {
 protected:
  void SetUp() override {
    form.OpenPicture(kNote);
    form.UserLibrary = dir.File("mine.sets");
    form.Read();
    ASSERT_TRUE(form.Current());
    ASSERT_GE(form.Current()->Lines.size(), 2u);
  }
  TempDir dir;
  PictureForm form;
};

TEST_F(PictureFormTest, TeachingTakesTheCorrectionAndUndoPutsTheFilesBack) {
  std::string other;
  const CharPlace place = FirstLetter(form, other);
  const std::string before = form.Char(place).Text;
  const PictureBox box = form.Char(place).Box;
  ASSERT_TRUE(form.Select(place));
  EXPECT_EQ(form.SelectedText(), before);
  EXPECT_GT(form.SelectedPattern().MaxLevel, 0);

  form.Teach(other);
  form.Read();
  ASSERT_EQ(form.Selection().size(), 1u);  // the box is selected again
  EXPECT_EQ(form.Char(form.Selection()[0]).Text, other);
  EXPECT_EQ(form.Char(form.Selection()[0]).Candidates.at(0).Set, dir.File("mine-1"));
  EXPECT_EQ(FolderEntries(dir.Path()),
            (std::vector<std::string>{"mine-1.PCP", "mine-1.PCT", "mine-1.charmap.txt",
                                      "mine-1.detail", "mine-1.set.ini", "mine.sets"}));

  form.Undo();
  EXPECT_TRUE(FolderEntries(dir.Path()).empty());
  EXPECT_FALSE(form.CanUndo());
  form.Read();
  EXPECT_EQ(form.Char(*form.CharAt(box.Left + 0.5, box.Top + 0.5)).Text, before);
}

// Three corrections of one run: each box takes its own character.
TEST_F(PictureFormTest, ARunOfBoxesTakesOneCharacterEach) {
  const CharPlace first{0, 0};
  ASSERT_TRUE(form.Select(first));
  ASSERT_TRUE(form.Select({0, 2}, true));
  ASSERT_EQ(form.Selection().size(), 3u);
  const Caught wrongCount = CatchError([&] { form.Teach("ab"); });
  EXPECT_EQ(wrongCount.Kind, ErrorKind::kUsage);
  form.Teach("q w e");  // blanks ignored
  form.Read();
  ASSERT_EQ(form.Selection().size(), 3u);
  EXPECT_EQ(form.SelectedText(), "qwe");
}

TEST_F(PictureFormTest, TextColumnsAndPicturePointsFindTheSameCharacter) {
  const Reading& r = *form.Current();
  for (int l = 0; l < static_cast<int>(r.Lines.size()); ++l)
    for (int i = 0; i < static_cast<int>(r.Lines[l].Chars.size()); ++i) {
      const CharPlace place{l, i};
      const int column = form.TextColumn(place);
      EXPECT_EQ(r.Lines[l].Text.substr(column, 1), form.Char(place).Text);
      EXPECT_EQ(form.CharAtText(l, column), place);
      const PictureBox& b = form.Char(place).Box;
      EXPECT_EQ(form.CharAt(b.Left + b.Width / 2.0, b.Top + b.Height / 2.0), place);
    }
}

TEST_F(PictureFormTest, ZoomKeepsThePointUnderThePointerAndBoxesFollow) {
  const PictureBox& b = form.Char({0, 0}).Box;
  form.ZoomAt(3, 40, 25);
  const auto [x, y] = form.PicturePoint(40, 25);
  EXPECT_NEAR(x, 40, 1e-9);
  EXPECT_NEAR(y, 25, 1e-9);
  form.PanBy(-7, 11);
  const std::array<double, 4> v = form.ViewBox(b);
  const auto [px, py] = form.PicturePoint(v[0] + v[2] / 2, v[1] + v[3] / 2);
  EXPECT_EQ(form.CharAt(px, py), (CharPlace{0, 0}));
  form.ZoomAt(1e6, 0, 0);
  EXPECT_EQ(form.View.Zoom, kMaxZoom);
}

TEST_F(PictureFormTest, ACancelledReadingKeepsThePreviousOne) {
  const std::string text = form.Current()->Text;
  int calls = 0;
  ReadOutcome outcome = RunReading(form.Request(), [&](int, int) { return ++calls < 1; });
  EXPECT_TRUE(outcome.Cancelled);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(form.Apply(std::move(outcome)), "");
  EXPECT_EQ(form.Current()->Text, text);
}

TEST_F(PictureFormTest, RefusalsNameTheirKindAndChangeNothing) {
  const PictureBox box = form.Char({0, 0}).Box;
  const TeachingPicture picture(form.PictureBytes().data(), form.PictureBytes().size(),
                                *form.Current());
  const std::string lib = dir.File("mine.sets");
  const PictureBox nowhere{1, 1, 2, 2};
  const struct {
    const char* what;
    std::function<void()> call;
    ErrorKind kind;
  } cases[] = {
      {"no library file",
       [&] {
         Teach(picture, {{box, "a"}}, dir.File("mine"));
       },
       ErrorKind::kUsage},
      {"two characters",
       [&] {
         Teach(picture, {{box, "ab"}}, lib);
       },
       ErrorKind::kUsage},
      {"a blank",
       [&] {
         Teach(picture, {{box, " "}}, lib);
       },
       ErrorKind::kUsage},
      {"beyond a byte",
       [&] {
         Teach(picture, {{box, "\xE2\x82\xAC"}}, lib);
       },
       ErrorKind::kUsage},
      {"a box not read",
       [&] {
         Teach(picture, {{nowhere, "a"}}, lib);
       },
       ErrorKind::kUsage},
      {"nothing", [&] { Teach(picture, {}, lib); }, ErrorKind::kUsage},
      {"no selection", [&] { form.Teach("a"); }, ErrorKind::kUsage},
      {"nothing to undo", [&] { form.Undo(); }, ErrorKind::kUsage},
  };
  for (const auto& c : cases) {
    const Caught e = CatchError(c.call);
    EXPECT_TRUE(e.Thrown) << c.what;
    EXPECT_EQ(e.Kind, c.kind) << c.what;
  }
  EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

// Saved whole or not at all: a set file that cannot be written leaves no file behind.
TEST_F(PictureFormTest, AFailedTeachingWritesNothing) {
  ASSERT_TRUE(form.Select({0, 0}));
  const Caught e = CatchError([&] {
    FileSizeLimit limit(4);
    form.Teach("a");
  });
  EXPECT_EQ(e.Kind, ErrorKind::kCannotWrite);
  EXPECT_TRUE(FolderEntries(dir.Path()).empty());
  EXPECT_FALSE(form.CanUndo());
}

TEST_F(PictureFormTest, UndoRefusesFilesChangedSinceAndKeepsThem) {
  ASSERT_TRUE(form.Select({0, 0}));
  form.Teach("a");
  WriteFile(dir.File("mine-1.charmap.txt"), "1\tb\r\n");
  const Caught e = CatchError([&] { form.Undo(); });
  EXPECT_EQ(e.Kind, ErrorKind::kFailed);
  EXPECT_EQ(e.File, dir.File("mine-1.charmap.txt"));
  EXPECT_TRUE(form.CanUndo());
  EXPECT_EQ(ReadFile(dir.File("mine-1.charmap.txt")), "1\tb\r\n");
}

// 41 references: the first set fills at 40 and the library file lists the next; undoing
// the second teaching leaves the first as it was.
TEST_F(PictureFormTest, AFullSetContinuesInTheNextSetOfTheLibraryFile) {
  const PictureBox box = form.Char({0, 0}).Box;
  const TeachingPicture picture(form.PictureBytes().data(), form.PictureBytes().size(),
                                *form.Current());
  const std::string lib = dir.File("mine.sets");
  Teach(picture, std::vector<Correction>(39, Correction{box, "a"}), lib);
  const std::string first = ReadFile(dir.File("mine-1.PCP"));
  const Teaching t = Teach(picture, std::vector<Correction>(2, Correction{box, "b"}), lib);
  EXPECT_EQ(t.Sets, (std::vector<std::string>{dir.File("mine-1"), dir.File("mine-2")}));
  EXPECT_EQ(ReadLibraryFile(lib), t.Sets);
  const ReferenceLibrary sets = LoadReferenceLibrary(lib);
  EXPECT_EQ(sets.Sets[0].Chars.CharMap[40], 'b');
  EXPECT_EQ(sets.Sets[1].Chars.CharMap[1], 'b');
  EXPECT_EQ(sets.Sets[1].Chars.CharMap[2], 0);
  UndoTeaching(t);
  EXPECT_EQ(ReadFile(dir.File("mine-1.PCP")), first);
  EXPECT_EQ(ReadLibraryFile(lib), (std::vector<std::string>{dir.File("mine-1")}));
  EXPECT_FALSE(FileExists(dir.File("mine-2.PCP")));
}

// Shift-clicks select the run between two characters of a line, either way round; a click
// on another line starts again; places outside the reading select nothing.
TEST_F(PictureFormTest, SelectionRunsAlongOneLine) {
  const struct {
    std::vector<std::pair<CharPlace, bool>> clicks;
    std::vector<CharPlace> selected;
  } cases[] = {
      {{{{0, 4}, false}, {{0, 2}, true}}, {{0, 2}, {0, 3}, {0, 4}}},
      {{{{0, 1}, false}, {{0, 3}, true}}, {{0, 1}, {0, 2}, {0, 3}}},
      {{{{0, 1}, false}, {{1, 3}, true}}, {{1, 3}}},
      {{{{0, 1}, false}, {{0, 999}, true}}, {{0, 1}}},
      {{{{0, 1}, false}, {{-1, 0}, false}}, {{0, 1}}},
  };
  for (const auto& c : cases) {
    form.ClearSelection();
    for (const auto& [place, extend] : c.clicks) form.Select(place, extend);
    EXPECT_EQ(form.Selection(), c.selected);
  }
  const std::vector<ReadChar>& line = form.Current()->Lines[0].Chars;
  for (int i = 1; i < static_cast<int>(line.size()); ++i)
    if (line[static_cast<std::size_t>(i)].SpaceBefore) {
      EXPECT_FALSE(form.CharAtText(0, form.TextColumn({0, i}) - 1));  // a word space
    }
}

// A set that holds references already keeps them as they were and takes the next slot.
TEST_F(PictureFormTest, TeachingAppendsToTheLastSetOfALibraryFile) {
  ASSERT_TRUE(form.Select({0, 0}));
  ASSERT_TRUE(form.Select({0, 2}, true));
  form.Teach("abc");
  const std::string before = ReadFile(dir.File("mine-1.PCP"));
  form.Read();
  ASSERT_TRUE(form.Select({1, 0}));
  form.Teach("z");
  const std::string after = ReadFile(dir.File("mine-1.PCP"));
  EXPECT_EQ(after.substr(0, 3 * PatternRecordSize), before.substr(0, 3 * PatternRecordSize));
  EXPECT_NE(after.substr(3 * PatternRecordSize, PatternRecordSize),
            before.substr(3 * PatternRecordSize, PatternRecordSize));
  EXPECT_EQ(ReadFile(dir.File("mine-1.charmap.txt")), "0\t \r\n1\ta\r\n2\tb\r\n3\tc\r\n4\tz\r\n");
  form.Undo();
  EXPECT_EQ(ReadFile(dir.File("mine-1.PCP")), before);
  EXPECT_EQ(form.Taught().size(), 1u);
}

// Each line's end is told in order, and a reading told so answers as one that is not.
TEST_F(PictureFormTest, ProgressCountsTheLinesAndChangesNoAnswer) {
  std::vector<std::pair<int, int>> told;
  const ReadOutcome outcome = RunReading(form.Request(), [&](int done, int lines) {
    told.emplace_back(done, lines);
    return true;
  });
  ASSERT_TRUE(outcome.Result);
  const int lines = static_cast<int>(form.Current()->Lines.size());
  ASSERT_EQ(told.size(), static_cast<std::size_t>(lines));
  for (int k = 0; k < lines; ++k)
    EXPECT_EQ(told[static_cast<std::size_t>(k)], std::make_pair(k + 1, lines));
  EXPECT_EQ(outcome.Result->Text, form.Current()->Text);
}

TEST(JoinLibrariesTest, JoinsInOrderAndRefusesNone) {
  const Library stock = Library::Stock();
  const Library twice = JoinLibraries({stock, stock});
  const std::vector<std::string> names = stock.SetNames();
  std::vector<std::string> both = names;
  both.insert(both.end(), names.begin(), names.end());
  EXPECT_EQ(twice.SetNames(), both);
  EXPECT_EQ(CatchError([] { JoinLibraries({}); }).Kind, ErrorKind::kUsage);
}

// A file that is no picture is refused when read, with the reading's own kind and file; the
// reading before it stays.
TEST_F(PictureFormTest, PicturesThatCannotBeReadKeepTheirErrorKinds) {
  const std::string text = form.Current()->Text;
  const std::string junk = dir.File("junk.png"), empty = dir.File("empty.png");
  WriteFile(junk, "not a picture");
  WriteFile(empty, "");
  const Caught missing = CatchError([&] { form.OpenPicture(dir.File("none.png")); });
  EXPECT_EQ(missing.Kind, ErrorKind::kNotFound);
  EXPECT_EQ(CatchError([&] { form.OpenPicture(empty); }).Kind, ErrorKind::kBadData);
  EXPECT_EQ(form.PictureName(), kNote);
  EXPECT_EQ(form.Current()->Text, text);
  form.OpenPicture(junk);
  const Caught bad = CatchError([&] { form.Read(); });
  EXPECT_EQ(bad.Kind, ErrorKind::kBadData);
  EXPECT_EQ(bad.File, junk);
  EXPECT_FALSE(form.Current());
}

}  // namespace
}  // namespace morvik::test
