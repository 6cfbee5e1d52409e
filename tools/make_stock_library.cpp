// Builds the stock library: reference sets learned from typefaces of Debian's font packages,
// written into one folder with the library file "stock.sets" that lists them all.
//
//   make_stock_library OUTDIR
//
// The same fonts always give the same files: learning is deterministic.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/error.h"
#include "library/reference_library.h"
#include "reading/font_learning.h"

namespace {

using namespace morvik;

struct StockFont {
  const char* Name;  // base name of its sets
  const char* File;
};

// Sans, serif and monospaced faces, regular and bold: the shapes printed text mostly takes.
const StockFont kFonts[] = {
    {"nimbus-sans", "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf"},
    {"nimbus-sans-bold", "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf"},
    {"nimbus-roman", "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf"},
    {"nimbus-roman-bold", "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Bold.otf"},
    {"nimbus-mono", "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf"},
    {"urw-bookman", "/usr/share/fonts/opentype/urw-base35/URWBookman-Light.otf"},
    {"noto-sans-mono", "/usr/share/fonts/truetype/noto/NotoSansMono-Regular.ttf"},
    {"dejavu-sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
};

// Digits, capitals, small letters and the common signs ('-' last, where it stands for itself).
const char kChars[] = "0-9A-Za-z.,:;!?'\"()/%&+=*#@$-";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_stock_library OUTDIR\n";
    return 3;
  }
  const std::string out = argv[1];
  try {
    std::filesystem::create_directories(out);
    FontLearnOptions options;
    options.CapHeights = {kDefaultLearnCapHeight};
    std::vector<std::string> bases;
    for (const StockFont& font : kFonts) {
      std::vector<LearnedSet> sets = LearnFromFont(font.File, kChars, options);
      for (std::size_t k = 0; k < sets.size(); ++k) {
        bases.push_back(out + "/" + font.Name + "-" + std::to_string(k + 1));
        SaveLearnedSet(bases.back(), sets[k]);
      }
    }
    SaveLibraryFile(out + "/stock.sets", bases);
    return 0;
  } catch (const Error& e) {
    std::cerr << "make_stock_library: " << e.what() << "\n";
    return 1;
  }
}
