// Tests of the reading formats: text, tsv and json of a reading made by hand, golden strings,
// escaping of awkward names and characters, several pictures in one output.
#include <gtest/gtest.h>

#include <sstream>

#include "output/reading_format.h"

namespace morvik {
namespace {

ReadCharacter Char(int line, int column, CharBox box, std::array<LibraryMatch, 3> best,
                   bool rejected = false) {
  ReadCharacter c;
  c.Line = line;
  c.Column = column;
  c.Box = box;
  c.Best = best;
  c.Rejected = rejected;
  return c;
}

// "A7 ?" over " " (an empty cell): matches from two sets, a rejected character, a blank.
struct Fixture {
  ReferenceLibrary Library;
  PictureReading Reading;
  Fixture() {
    Library.Sets.resize(2);
    Library.Sets[0].Base = "sets/digits";
    Library.Sets[1].Base = "caps";
    Reading.Cut.Lines.resize(2);
    const LibraryMatch none;
    Reading.Chars = {
        Char(1, 0, {10, 5, 8, 12, false, false},
             {LibraryMatch{1, 3, 0.9123456789, 'A'}, LibraryMatch{0, 7, 0.5, '4'},
              LibraryMatch{1, 40, 0.25, 0}}),
        Char(1, 1, {20, 5, 7, 12, false, false}, {LibraryMatch{0, 8, 1.0, '7'}, none, none}),
        Char(1, 3, {40, 6, 9, 11, true, false},
             {LibraryMatch{1, 2, 0.3, 'B'}, LibraryMatch{0, 1, 0.125, '1'}, none}, true),
        Char(2, 0, {10, 30, 8, 12, false, true}, {none, none, none}),
    };
    Reading.Chars[3].Blank = true;
  }
};

TEST(ReadingFormatTest, TextShowsOneLinePerTextLine) {
  Fixture f;
  EXPECT_EQ(TextOf(f.Reading), "A7 ?\n \n");
  EXPECT_EQ(ReadingText(f.Reading), (std::vector<std::string>{"A7 ?", " "}));
  // A best reference without a character shows '?' too, without being rejected.
  f.Reading.Chars[1].Best[0].Char = 0;
  EXPECT_EQ(TextOf(f.Reading), "A? ?\n \n");
}

// A ligature's code is written as its letters, and the characters after it move on.
TEST(ReadingFormatTest, LigatureShowsItsLetters) {
  Fixture f;
  f.Reading.Chars[1].Best[0].Char = '\x84';  // ffi
  EXPECT_EQ(ReadingText(f.Reading), (std::vector<std::string>{"Affi ?", " "}));
  EXPECT_NE(TsvRows("p", f.Reading, f.Library).find("\tffi\tsets/digits\t8\t"), std::string::npos);
}

TEST(ReadingFormatTest, TsvGolden) {
  Fixture f;
  EXPECT_EQ(TsvHeader(),
            "picture\tline\tindex\tleft\ttop\twidth\theight\tchar1\tset1\tno1\tscore1\tchar2\tset2"
            "\tno2\tscore2\tchar3\tset3\tno3\tscore3\trejected");
  EXPECT_EQ(TsvRows("in\\put\t1.png", f.Reading, f.Library),
            "in\\\\put\\t1.png\t1\t0\t10\t5\t8\t12\tA\tcaps\t3\t0.912346\t4\tsets/digits\t7\t0.5"
            "\t\tcaps\t40\t0.25\t0\n"
            "in\\\\put\\t1.png\t1\t1\t20\t5\t7\t12\t7\tsets/digits\t8\t1\t\t\t\t\t\t\t\t\t0\n"
            "in\\\\put\\t1.png\t1\t3\t40\t6\t9\t11\tB\tcaps\t2\t0.3\t1\tsets/digits\t1\t0.125"
            "\t\t\t\t\t1\n"
            "in\\\\put\\t1.png\t2\t0\t10\t30\t8\t12\t\t\t\t\t\t\t\t\t\t\t\t\t0\n");
}

TEST(ReadingFormatTest, JsonGolden) {
  Fixture f;
  EXPECT_EQ(
      JsonPicture("a\"b.png", f.Reading, f.Library),
      "{\"picture\": \"a\\\"b.png\", \"text\": [\"A7 ?\", \" \"], \"characters\": [\n"
      "  {\"line\": 1, \"index\": 0, \"left\": 10, \"top\": 5, \"width\": 8, \"height\": 12, "
      "\"space_before\": false, \"blank\": false, \"rejected\": false, \"best\": [{\"char\": "
      "\"A\", "
      "\"set\": \"caps\", \"no\": 3, \"score\": 0.912346}, {\"char\": \"4\", \"set\": "
      "\"sets/digits\", \"no\": 7, \"score\": 0.5}, {\"char\": null, \"set\": \"caps\", \"no\": "
      "40, "
      "\"score\": 0.25}]},\n"
      "  {\"line\": 1, \"index\": 1, \"left\": 20, \"top\": 5, \"width\": 7, \"height\": 12, "
      "\"space_before\": false, \"blank\": false, \"rejected\": false, \"best\": [{\"char\": "
      "\"7\", "
      "\"set\": \"sets/digits\", \"no\": 8, \"score\": 1}]},\n"
      "  {\"line\": 1, \"index\": 3, \"left\": 40, \"top\": 6, \"width\": 9, \"height\": 11, "
      "\"space_before\": true, \"blank\": false, \"rejected\": true, \"best\": [{\"char\": \"B\", "
      "\"set\": \"caps\", \"no\": 2, \"score\": 0.3}, {\"char\": \"1\", \"set\": \"sets/digits\", "
      "\"no\": 1, \"score\": 0.125}]},\n"
      "  {\"line\": 2, \"index\": 0, \"left\": 10, \"top\": 30, \"width\": 8, \"height\": 12, "
      "\"space_before\": false, \"blank\": true, \"rejected\": false, \"best\": []}]}");
}

TEST(ReadingFormatTest, JsonStringsAreEscapedAndUtf8) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {"plain", "\"plain\""},
      {"q\"b\\", "\"q\\\"b\\\\\""},
      {"\n\r\t", "\"\\n\\r\\t\""},
      {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
      {"caf\xc3\xa9", "\"caf\xc3\xa9\""},                // UTF-8 kept
      {"\xe9t\xe9", "\"\xc3\xa9t\xc3\xa9\""},            // Latin-1 converted
      {"\xc3", "\"\xc3\x83\""},                          // a sequence cut short
      {"\xed\xa0\x80", "\"\xc3\xad\xc2\xa0\xc2\x80\""},  // a surrogate is no UTF-8
      {"\xf0\x9f\x98\x80", "\"\xf0\x9f\x98\x80\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.In), c.Out) << c.In;
}

TEST(ReadingFormatTest, PrinterSeparatesSeveralPictures) {
  Fixture f;
  const struct {
    ReadingFormat Format;
    bool Several;
    int Pictures;
    std::string Expected;
  } cases[] = {
      {ReadingFormat::Text, false, 1, "A7 ?\n \n"},
      {ReadingFormat::Text, true, 2, "==> p0 <==\nA7 ?\n \n\n==> p1 <==\nA7 ?\n \n"},
      {ReadingFormat::Text, true, 0, ""},
      {ReadingFormat::Tsv, true, 0, TsvHeader() + "\n"},
      {ReadingFormat::Tsv, true, 2,
       TsvHeader() + "\n" + TsvRows("p0", f.Reading, f.Library) +
           TsvRows("p1", f.Reading, f.Library)},
      {ReadingFormat::Json, false, 0, "[]\n"},
      {ReadingFormat::Json, true, 2,
       "[\n" + JsonPicture("p0", f.Reading, f.Library) + ",\n" +
           JsonPicture("p1", f.Reading, f.Library) + "\n]\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ReadingPrinter printer(out, c.Format, c.Several);
    for (int k = 0; k < c.Pictures; ++k)
      printer.Print("p" + std::to_string(k), f.Reading, f.Library);
    printer.Finish();
    EXPECT_EQ(out.str(), c.Expected) << static_cast<int>(c.Format) << " " << c.Pictures;
  }
}

}  // namespace
}  // namespace morvik
