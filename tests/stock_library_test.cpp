// The stock library: found beside the program in the build tree and under an installed
// program's data (and, for code that is not the program, from its folder up), and, as built,
// reading a typeface it was not learned from.
#include "reading/stock_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "morvik/stock.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"
#include "segment/text_segmenter.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  test::WriteFile(path, "x\r\n");
}

// The characters of a picture's lines, each recognised alone, a blank before each word.
std::string ReadCharacters(ReferenceLibrary& library, const GreyImage& grey,
                           const std::string& chars) {
  CharacterOptions options;
  options.Filter = ParseCharFilter(chars);
  const Segmentation seg = SegmentText(grey);
  std::string text;
  for (const TextLine& line : seg.Lines)
    for (const CharBox& box : line.Chars)
      text +=
          std::string(box.SpaceBefore ? " " : "") +
          RecognizeCharacter(library, CutCharacter(grey, box, seg.DarkOnLight), options)[0].Char;
  return text;
}

TEST(StockLibrary, FoundInBuildTreeThenInstalledData) {
  test::TempDir dir;
  const std::string bin = dir.File("prefix/bin");
  fs::create_directories(bin);
  EXPECT_EQ(FindStockLibrary(bin), "");
  Touch(dir.File("prefix/share/morvik/stock/stock.sets"));
  EXPECT_EQ(FindStockLibrary(bin), dir.File("prefix/share/morvik/stock/stock.sets"));
  Touch(bin + "/stock/stock.sets");
  EXPECT_EQ(FindStockLibrary(bin), bin + "/stock/stock.sets");
  // Only a regular file counts.
  fs::remove(bin + "/stock/stock.sets");
  fs::create_directory(bin + "/stock/stock.sets");
  EXPECT_EQ(FindStockLibrary(bin), dir.File("prefix/share/morvik/stock/stock.sets"));
}

TEST(StockLibraryNear, NearestAboveTheFolderWins) {
  test::TempDir dir;
  // An installed package: <prefix>/lib/python3/dist-packages/morvik.
  const std::string package = dir.File("prefix/lib/python3/dist-packages/morvik");
  fs::create_directories(package);
  // What lies above the temporary folder itself (a stock/ beside it, say) is found last.
  const std::string above = FindStockLibraryNear(dir.File(""));
  EXPECT_EQ(FindStockLibraryNear(package), above);
  Touch(dir.File("prefix/share/morvik/stock/stock.sets"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/share/morvik/stock/stock.sets"));
  Touch(dir.File("prefix/share/morvik/stock/stock.pack"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/share/morvik/stock/stock.pack"));
  // A build tree's stock/ nearer to the folder comes first.
  Touch(dir.File("prefix/lib/python3/stock/stock.sets"));
  EXPECT_EQ(FindStockLibraryNear(package), dir.File("prefix/lib/python3/stock/stock.sets"));
  // A relative folder is looked for from the current one, and a missing one finds nothing.
  const fs::path before = fs::current_path();
  fs::current_path(dir.File("prefix/lib"));
  EXPECT_EQ(FindStockLibraryNear("python3/dist-packages/morvik"),
            dir.File("prefix/lib/python3/stock/stock.sets"));
  fs::current_path(before);
  EXPECT_EQ(FindStockLibraryNear(dir.File("elsewhere")), above);
}

// The library the build made beside the program reads typefaces it was not learned from:
// capitals and digits of Liberation Sans, and small letters of DejaVu Sans Bold Oblique
// (whose i and l upright references took for capitals).
TEST(StockLibrary, BuiltLibraryReadsAnotherTypeface) {
  const std::string found = FindStockLibrary(fs::path(MORVIK_BINARY).parent_path().string());
  ASSERT_NE(found, "") << "the stock library was not built beside " << MORVIK_BINARY;
  if (!test::FontInstalled(test::kLiberationSans)) GTEST_SKIP() << "no fonts-liberation";
  ReferenceLibrary library = OpenReferenceNames({found});
  const std::string boldOblique = "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf";
  // O and 0 differ little across typefaces; a line of digits is read as digits.
  const struct {
    std::string Font, Text, Chars;
  } cases[] = {{test::kLiberationSans, "WE QUICK FOX 1975", "0-9A-Z"},
               {test::kLiberationSans, "2048 1010", "0-9"},
               {boldOblique, "the wizard quickly jinxed my gnomes", "A-Za-z"}};
  for (const auto& c : cases)
    EXPECT_EQ(
        ReadCharacters(library, ToGreyImage(RenderText(FontFace(c.Font), {c.Text}, 32)), c.Chars),
        c.Text)
        << c.Font;
}

// Small letters of a typeface it was not learned from, at the size of a 150 dpi page's: its l
// is neither r nor i.
TEST(StockLibrary, BuiltLibraryReadsSmallPrint) {
  const std::string found = FindStockLibrary(fs::path(MORVIK_BINARY).parent_path().string());
  ASSERT_NE(found, "") << "the stock library was not built beside " << MORVIK_BINARY;
  if (!test::FontInstalled(test::kLiberationSans)) GTEST_SKIP() << "no fonts-liberation";
  ReferenceLibrary library = OpenReferenceNames({found});
  const FontFace font(test::kLiberationSans);
  for (const std::string text : {"a clerk checks cells", "seven green eels"})
    EXPECT_EQ(ReadCharacters(library, ToGreyImage(RenderText(font, {text}, 20)), "a-z"), text);
}

// Every printable ASCII sign, and the fi and fl ligatures under their codes, has references.
TEST(StockLibrary, BuiltLibraryCoversEveryPrintableSign) {
  const std::string found = FindStockLibrary(fs::path(MORVIK_BINARY).parent_path().string());
  ASSERT_NE(found, "") << "the stock library was not built beside " << MORVIK_BINARY;
  std::string missing;
  for (int c = 0x21; c <= 0x82; ++c) missing += static_cast<char>(c);
  missing.erase(missing.find('\x7F'), 0x81 - 0x7F);
  for (const ReferenceSet& set : OpenReferenceNames({found}).Sets)
    for (int n = 1; n <= kReferenceCount; ++n) {
      const std::size_t at = missing.find(set.Chars.CharMap[static_cast<std::size_t>(n)]);
      if (at != std::string::npos) missing.erase(at, 1);
    }
  EXPECT_EQ(missing, "");
}

}  // namespace
}  // namespace morvik
