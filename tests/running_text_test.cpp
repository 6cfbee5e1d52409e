// Which lines of a screenshot count as prose, where the lexicon may drive the word search.
#include "reading/running_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

// A line as first read: one box per character, a space marks the next box's SpaceBefore,
// '#' an unread box.
std::vector<RecognizedBox> Line(const std::string& text) {
  std::vector<RecognizedBox> line;
  bool space = false;
  for (char c : text) {
    if (c == ' ') {
      space = true;
      continue;
    }
    RecognizedBox b;
    b.Box.SpaceBefore = space;
    if (c != '#') b.Best[0].No = 1, b.Best[0].Char = c;
    line.push_back(b);
    space = false;
  }
  return line;
}

TEST(RunningText, TellsProseFromCodesAndListings) {
  const struct {
    const char* line;
    bool prose;
  } cases[] = {
      {"The ferry leaves the harbour at noon.", true},
      {"(as it isn't), she said: \"well-known\" - fine!", true},
      {"Save changes?", true},
      {"Cancel", false},  // one word: too little to tell
      {"-rw-r--r-- 1 root root 4096 notes.txt", false},
      {"src/main.cpp  build/morvik  CMakeLists.txt", false},
      {"Total 1,250 items 42 MB", false},
      {"ra#e of the harb#ur w#s high", false},  // unread pieces may be digits
      // Small serif letters first read as signs: h as l1, a as 1l, m as n?.
      {"for a fortnigl1t. noting tl1e temper:ture of tl1e rmm e1lch mon?ing.", true},
      {"libqt6xml6 1:3.6.0-7.1 amd64 x1y", false},
      // Ligatures (ff, fl) count as the letters they join.
      {"The o\x83ice and a\x83ix were su\x83ix, re\x82"
       "ect.",
       true},
  };
  for (const auto& c : cases) EXPECT_EQ(RunningText(Line(c.line)), c.prose) << c.line;
}

}  // namespace
}  // namespace morvik
