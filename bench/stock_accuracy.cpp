// Accuracy of the stock library on typefaces it was not learned from: single characters
// 0-9A-Z rendered at cap heights 20 to 64 pixels, dark on light and light on dark, clean and
// with salt-and-pepper noise, each read through the path of --read (segment, cut, recognise)
// under the candidate filter 0-9A-Z; the digits again under 0-9. Prints a table per typeface
// and the processor time of recognition per character.
//
//   stock_accuracy [--library FILE.sets] [--pgm DIR] [--detail N] [--weight W] FONTFILE...
//
// --pgm also writes every picture as DIR/<font>_c<cap>_<dl|ld>_<clean|noise>_<code>.pgm
// with the expected character in the matching .txt, for the peers (bench/stock_peers.sh).
#include <time.h>
#include <ctime>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"
#include "segment/grey_image.h"
#include "segment/text_segmenter.h"

namespace {

using namespace morvik;

const int kCapHeights[] = {20, 28, 40, 52, 64};
const std::string kAlnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr double kNoiseShare = 0.01;

struct Options {
  std::string Library = "build/stock/stock.sets";
  std::string PgmDir;
  int Detail = -1;
  double Weight = -1;
  bool Verbose = false;
  std::vector<std::string> Fonts;
};

void AddNoise(GreyImage& g, std::mt19937& rng) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (std::uint8_t& p : g.Pixels) {
    const double r = u(rng);
    if (r < kNoiseShare / 2)
      p = 0;
    else if (r < kNoiseShare)
      p = 255;
  }
}

void WritePgm(const std::string& path, const GreyImage& g) {
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << g.Width << " " << g.Height << "\n255\n";
  out.write(reinterpret_cast<const char*>(g.Pixels.data()),
            static_cast<std::streamsize>(g.Pixels.size()));
}

struct Counts {
  int Alnum = 0, AlnumRight = 0, Digits = 0, DigitsRight = 0;
  double Seconds = 0;
  long Recognised = 0;
};

// The process's processor time (one thread): other work on a shared machine does not count.
double CpuSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// What --read prints for the picture, without line ends and spaces.
std::string Read(ReferenceLibrary& library, const GreyImage& grey, const CharacterOptions& o,
                 Counts& counts) {
  const Segmentation seg = SegmentText(grey);
  std::string text;
  for (const TextLine& line : seg.Lines)
    for (const CharBox& box : line.Chars) {
      const Bitmap cut = CutCharacter(grey, box, seg.DarkOnLight);
      const double t0 = CpuSeconds();
      const std::array<LibraryMatch, 3> best = RecognizeCharacter(library, cut, o);
      counts.Seconds += CpuSeconds() - t0;
      ++counts.Recognised;
      text += best[0].No == 0 ? '?' : (best[0].Char == 0 ? '?' : best[0].Char);
    }
  return text;
}

std::string Stem(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

Counts MeasureFont(const Options& o, std::size_t fontIndex, ReferenceLibrary& library) {
  const FontFace font(o.Fonts[fontIndex]);
  CharacterOptions alnum, digits;
  alnum.Filter = ParseCharFilter("0-9A-Z");
  digits.Filter = ParseCharFilter("0-9");
  for (CharacterOptions* c : {&alnum, &digits}) {
    if (o.Detail >= 0) c->DetailCandidates = o.Detail;
    if (o.Weight >= 0) c->DetailWeight = o.Weight;
  }
  Counts counts;
  int number = 0;
  for (int cap : kCapHeights)
    for (int polarity = 0; polarity < 2; ++polarity)
      for (int noise = 0; noise < 2; ++noise)
        for (char ch : kAlnum) {
          std::mt19937 rng(1000003u * static_cast<unsigned>(fontIndex + 1) + number++);
          RenderOptions ro;
          ro.LightOnDark = polarity == 1;
          ro.Margin = cap / 2 + 4;
          GreyImage grey = ToGreyImage(RenderGlyph(font, static_cast<unsigned char>(ch), cap, ro));
          if (noise) AddNoise(grey, rng);
          const std::string want(1, ch);
          const std::string got = Read(library, grey, alnum, counts);
          ++counts.Alnum;
          counts.AlnumRight += got == want;
          if (o.Verbose && got != want)
            std::printf("  %s c%d %s %s: want %s got %s\n", Stem(o.Fonts[fontIndex]).c_str(), cap,
                        polarity ? "ld" : "dl", noise ? "noise" : "clean", want.c_str(),
                        got.c_str());
          if (ch <= '9') {
            ++counts.Digits;
            counts.DigitsRight += Read(library, grey, digits, counts) == want;
          }
          if (o.PgmDir.empty()) continue;
          char name[256];
          std::snprintf(name, sizeof name, "%s/%s_c%d_%s_%s_%c", o.PgmDir.c_str(),
                        Stem(o.Fonts[fontIndex]).c_str(), cap, polarity ? "ld" : "dl",
                        noise ? "noise" : "clean", ch);
          WritePgm(std::string(name) + ".pgm", grey);
          std::ofstream(std::string(name) + ".txt") << ch << "\n";
        }
  return counts;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--library" && i + 1 < argc) {
      o.Library = argv[++i];
    } else if (a == "--pgm" && i + 1 < argc) {
      o.PgmDir = argv[++i];
    } else if (a == "--detail" && i + 1 < argc) {
      o.Detail = std::atoi(argv[++i]);
    } else if (a == "--weight" && i + 1 < argc) {
      o.Weight = std::atof(argv[++i]);
    } else if (a == "--verbose") {
      o.Verbose = true;
    } else {
      o.Fonts.push_back(a);
    }
  }
  return o;
}

double Percent(int right, int all) {
  return all == 0 ? 0 : 100.0 * right / all;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  if (o.Fonts.empty()) {
    std::cerr << "usage: stock_accuracy [--library FILE.sets] [--pgm DIR] [--detail N] "
                 "[--weight W] [--verbose] FONTFILE...\n";
    return 3;
  }
  try {
    if (!o.PgmDir.empty()) std::filesystem::create_directories(o.PgmDir);
    ReferenceLibrary library = OpenReferenceNames({o.Library});
    int refs = 0;
    for (const ReferenceSet& s : library.Sets)
      for (int k = 1; k <= kReferenceCount; ++k) refs += s.Bank.Slot(k).MaxLevel != 0;
    std::printf("library %s: %zu sets, %d references\n", o.Library.c_str(), library.Sets.size(),
                refs);
    std::printf("%-28s %14s %14s\n", "typeface", "0-9A-Z", "digits");
    Counts total;
    for (std::size_t f = 0; f < o.Fonts.size(); ++f) {
      const Counts c = MeasureFont(o, f, library);
      std::printf("%-28s %6.1f%% %4d/%-4d %5.1f%% %3d/%-3d\n", Stem(o.Fonts[f]).c_str(),
                  Percent(c.AlnumRight, c.Alnum), c.AlnumRight, c.Alnum,
                  Percent(c.DigitsRight, c.Digits), c.DigitsRight, c.Digits);
      total.Alnum += c.Alnum;
      total.AlnumRight += c.AlnumRight;
      total.Digits += c.Digits;
      total.DigitsRight += c.DigitsRight;
      total.Seconds += c.Seconds;
      total.Recognised += c.Recognised;
    }
    std::printf("%-28s %6.1f%% %4d/%-4d %5.1f%% %3d/%-3d\n", "all",
                Percent(total.AlnumRight, total.Alnum), total.AlnumRight, total.Alnum,
                Percent(total.DigitsRight, total.Digits), total.DigitsRight, total.Digits);
    std::printf(
        "recognition: %.1f us per character\n",
        total.Recognised ? 1e6 * total.Seconds / static_cast<double>(total.Recognised) : 0.0);
    return 0;
  } catch (const Error& e) {
    std::cerr << "stock_accuracy: " << e.what() << "\n";
    return 1;
  }
}
