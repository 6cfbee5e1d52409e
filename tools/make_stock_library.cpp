// Builds the stock library: reference sets learned from typefaces of Debian's font packages,
// written into one folder with the library file "stock.sets" that lists them all, and
// "stock.pack" holding them all in one file for the runs that read with the stock library.
//
//   make_stock_library OUTDIR
//
// The same fonts always give the same files: learning is deterministic.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/error.h"
#include "learning/font_learning.h"
#include "library/packed_library.h"
#include "library/reference_library.h"

namespace {

using namespace morvik;

// Sans, serif and monospaced faces, regular and bold: the shapes printed text mostly takes.
const char* const kFonts[] = {
    "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf",
    "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf",
    "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf",
    "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Bold.otf",
    "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf",
    "/usr/share/fonts/opentype/urw-base35/URWBookman-Light.otf",
    "/usr/share/fonts/truetype/noto/NotoSansMono-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

// Digits, capitals, small letters and the common signs ('-' last, where it stands for itself).
const char kChars[] = "0-9A-Za-z.,:;!?'\"()/%&+=*#@$-";

// Adds the references of `from` after those already packed, 40 to a set: fewer, fuller sets
// are opened faster by every run that uses the library.
void Pack(const LearnedSet& from, std::vector<LearnedSet>& packed) {
  for (int n = 1; n <= from.Count; ++n) {
    if (packed.empty() || packed.back().Count == kReferenceCount) {
      packed.emplace_back();
      packed.back().Settings = from.Settings;
      packed.back().Chars.CharMapLoaded = true;
      packed.back().Detail.Loaded = true;
    }
    LearnedSet& to = packed.back();
    const int k = ++to.Count;
    const auto at = static_cast<std::size_t>(k);
    to.Bank.Slot(k) = from.Bank.Slot(n);
    to.Bank.TestPattern() = from.Bank.Slot(n);
    to.Chars.CharMap[at] = from.Chars.CharMap[static_cast<std::size_t>(n)];
    to.Detail.Refs[at] = from.Detail.Refs[static_cast<std::size_t>(n)];
  }
}

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
    std::vector<LearnedSet> packed;
    for (const char* font : kFonts)
      for (const LearnedSet& set : LearnFromFont(font, kChars, options)) Pack(set, packed);
    std::vector<std::string> bases, names;
    for (std::size_t k = 0; k < packed.size(); ++k) {
      names.push_back("stock-" + std::to_string(k + 1));
      bases.push_back(out + "/" + names.back());
      SaveLearnedSet(bases.back(), packed[k]);
    }
    SaveLibraryFile(out + "/stock.sets", bases);
    SavePackedLibrary(out + "/stock.pack", names);
    return 0;
  } catch (const Error& e) {
    std::cerr << "make_stock_library: " << e.what() << "\n";
    return 1;
  }
}
