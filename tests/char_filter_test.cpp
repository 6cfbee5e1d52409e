// The candidate filter: lists with ranges, dashes that stand for themselves, blanks, the
// lists that are refused, and which references a filter admits.
#include "library/char_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"

namespace morvik {
namespace {

std::string Admitted(const CharFilter& filter) {
  std::string chars;
  for (int c = 0; c < 256; ++c)
    if (filter.Chars.test(static_cast<std::size_t>(c))) chars += static_cast<char>(c);
  return chars;
}

struct ListCase {
  std::string list, admitted;
};

TEST(CharFilter, ParsesCharactersAndRanges) {
  const std::vector<ListCase> cases = {
      {"0-9", "0123456789"}, {"0-9A-F", "0123456789ABCDEF"},
      {"x-x", "x"},          {"ZA", "AZ"},
      {"-a", "-a"},        // a leading dash stands for itself
      {"a-", "-a"},        // so does a trailing one
      {"a-c-e", "-abce"},  // a dash right after a range too
      {"+--", "+,-"},      // '+' to '-'
      {"0 - 2", "-02"},    // blanks end a range and are dropped
      {"1 2 3", "123"},      {"aa-bb", "ab"},
  };
  for (const ListCase& c : cases) {
    const CharFilter f = ParseCharFilter(c.list);
    EXPECT_TRUE(f.Active) << c.list;
    EXPECT_EQ(Admitted(f), c.admitted) << c.list;
  }
  // The list is UTF-8, as typed; a character stands for the map byte of its code point.
  EXPECT_EQ(Admitted(ParseCharFilter("\xC3\xA0-\xC3\xA2")), "\xE0\xE1\xE2");
  EXPECT_EQ(Admitted(ParseCharFilter("\xC3\xA9")), "\xE9");
  EXPECT_EQ(Admitted(ParseCharFilter("~-\xC2\x81")), "~\x7F\x80\x81");
}

// Lists that cannot be used are the caller's fault (kUsage): nothing, ranges backwards,
// text that is not UTF-8, characters no map can hold.
TEST(CharFilter, RefusesListsThatCannotBeUsed) {
  for (const std::string list :
       {"", "   ", "9-0", "a-Z", "\xE9", "\xE2\x82\xAC", "a-\xC4\x80", "\xC3"}) {
    try {
      ParseCharFilter(list);
      ADD_FAILURE() << "accepted \"" << list << "\"";
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::kUsage) << e.what();
      EXPECT_NE(std::string(e.what()).find("\"" + list + "\""), std::string::npos) << e.what();
    }
  }
}

TEST(CharFilter, AdmitsOnlyMappedListedCharacters) {
  CharMapState chars;
  chars.CharMap[1] = '5';
  chars.CharMap[2] = 'Q';
  chars.CharMap[3] = ' ';
  const CharFilter none;
  const CharFilter digits = ParseCharFilter("0-9");
  // Without a filter everything is a candidate, map or not.
  for (int k : {1, 2, 3, 4}) EXPECT_TRUE(IsCandidate(none, chars, k)) << k;
  // A map that was not loaded offers nothing to a filter.
  EXPECT_FALSE(IsCandidate(digits, chars, 1));
  chars.CharMapLoaded = true;
  EXPECT_TRUE(IsCandidate(digits, chars, 1));
  EXPECT_FALSE(IsCandidate(digits, chars, 2));  // not listed
  EXPECT_FALSE(IsCandidate(digits, chars, 3));  // a blank is no character
  EXPECT_FALSE(IsCandidate(digits, chars, 4));  // unmapped
  for (int k : {0, 41, -1}) EXPECT_FALSE(IsCandidate(digits, chars, k)) << k;
}

}  // namespace
}  // namespace morvik
