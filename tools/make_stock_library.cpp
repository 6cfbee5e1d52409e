// Builds the stock library: reference sets learned from typefaces of Debian's font packages,
// written into one folder with the library file "stock.sets" that lists them all, and
// "stock.pack" holding them all in one file for the runs that read with the stock library.
//
//   make_stock_library OUTDIR
//
// The same fonts always give the same files: learning is deterministic.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/error.h"
#include "learning/font_learning.h"
#include "library/packed_library.h"
#include "library/reference_library.h"
#include "reading/ligatures.h"

namespace {

using namespace morvik;

// What is learned from one face: its characters (a list such as "0-9A-Z", see
// ParseCharList) at the given cap heights, and with Ligatures its joined letters
// (LigatureGlyphs: typesetters join them in proportional faces).
struct Face {
  const char* File;
  const char* Chars;
  std::vector<int> CapHeights;
  bool Ligatures = false;
  int Soften = 0;             // FontLearnOptions::Soften
  bool AllLigatures = false;  // ff, ffi and ffl too
};

// Digits, capitals, small letters and every printable ASCII sign ('-' last, where it stands
// for itself).
const char kAllChars[] = "0-9A-Za-z.,:;!?'\"()/%&+=*#@$[]{}|~<>^_`\\-";
// Digits, capitals, small letters and the common signs.
const char kTextChars[] = "0-9A-Za-z.,:;!?'\"()/%&+=*#@$-";
// Digits and letters: what sets italic apart (its signs differ from upright ones by a slant
// that makes a comma of a quote).
const char kLetters[] = "0-9A-Za-z";

// Sans, serif and monospaced faces, regular and bold: the shapes printed text mostly takes;
// italic faces of the sans and serif families, and the small letters of their bold italic
// (its capitals, digits or ligatures read no bold italic better and took small roman print).
// The rarer signs come from three faces only: from more, their bars and brackets took the l,
// i and m of small print. Palatino's l, m, p and M differ enough from the others' to be read
// as I, In, P and NI: they are learned too. Small and soft print has references of its own:
// - 100 dpi pages and 13 px screen text: the small letters, stops and commas of the sans and
//   serif faces at cap height 10 px, blurred (sharp, the commas read as backquotes), and the
//   serif c, e, h, l and t also sharp (blurred alone, e read as c, l as ']'; the other
//   letters sharp split the a and n of clean lines);
// - 150 dpi pages: the sans l at cap height 14 px (a bar two pixels wide read as j) and
//   Palatino's w (split into u and a comma), and its italic w at full size (no other italic
//   w is like it: its halves read as z and c);
// - blurred 200 dpi scans: the small letters at cap height 20 px, blurred more (n read as o),
//   also of Palatino (h read as b) but for its v, w and x (they took the halves of a w).
// Capitals and digits so made cost more time than they gained.
std::vector<Face> Faces() {
  const std::vector<int> large = {kDefaultLearnCapHeight};
  return {
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf", kAllChars, large, true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf", kTextChars, large, true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf", kAllChars, large, true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Bold.otf", kTextChars, large, true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf", kAllChars, large},
      {"/usr/share/fonts/opentype/urw-base35/URWBookman-Light.otf", kTextChars, large},
      {"/usr/share/fonts/truetype/noto/NotoSansMono-Regular.ttf", kTextChars, large},
      {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", kTextChars, large},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Italic.otf", kLetters, large, true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Italic.otf", kLetters, large, true, 0,
       true},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-BoldItalic.otf", "a-z", large},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-BoldItalic.otf", "a-z", large},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf", "a-z.,;:", {10}, false, 1},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf", "a-z.,;:", {10}, false, 1},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf", "cehlt", {10}},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf", "l", {14}},
      {"/usr/share/fonts/opentype/urw-base35/P052-Roman.otf", "w", {14}},
      {"/usr/share/fonts/opentype/urw-base35/P052-Roman.otf", "Mlmp", large},
      {"/usr/share/fonts/opentype/urw-base35/P052-Italic.otf", "w", large},
      {"/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf", "a-z", {20}, false, 3},
      {"/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf", "a-z", {20}, false, 3},
      {"/usr/share/fonts/opentype/urw-base35/P052-Roman.otf", "a-uyz", {20}, false, 3},
  };
}

// fi and fl: references of ff, ffi and ffl took the "th" and "il" of small screen text for
// ligatures, and learned from the upright serif faces alone they gained nothing on printed
// pages. The serif italic has all five: its f's lean into one another, so that an ff or ffi set
// as letters reads as one sign ("traffic" read as "tra@c").
std::vector<GlyphAnswer> LigatureGlyphs(const Face& face) {
  std::vector<GlyphAnswer> glyphs;
  for (const Ligature& l : kLigatures)
    if (face.AllLigatures || std::strcmp(l.Letters, "fi") == 0 || std::strcmp(l.Letters, "fl") == 0)
      glyphs.push_back({l.Glyph, l.Code});
  return glyphs;
}

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
    to.Detail.Ref(at) = from.Detail.Ref(static_cast<std::size_t>(n));
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
    std::vector<LearnedSet> packed;
    for (const Face& face : Faces()) {
      FontLearnOptions options;
      options.CapHeights = face.CapHeights;
      options.Soften = face.Soften;
      for (const LearnedSet& set : LearnFromFont(face.File, face.Chars, options)) Pack(set, packed);
      if (face.Ligatures)
        for (const LearnedSet& set : LearnGlyphs(face.File, LigatureGlyphs(face), options))
          Pack(set, packed);
    }
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
