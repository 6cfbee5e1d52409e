// Test pictures of printed text for accuracy and speed benches: for each font file, a line of
// digit groups and a block of two to four lines of capitals and digits, at cap heights 20 to 64
// pixels, dark on light and light on dark, clean and with salt-and-pepper noise. Each picture is
// written as NAME.pgm (binary PGM) with its text in NAME.txt (LF line ends). The text and the
// noise come from a seeded generator, so a seed always gives the same files.
//
// With --measure the pictures are also cut by the segmenter and the cut compared with the text:
// per picture whether the character count and the layout (lines, words, characters per word)
// came out right, summed per font.
//
// With --learn DIR each font also gets DIR/FONT.pgm, its digits and capitals one by one, cap
// height 40 (--learn-cap N), dark on light, to learn a set from (morvik --learn-picture ... --chars
// 0-9A-Z).
//
//   make_text_pictures [--seed N] [--measure] [--verbose] [--learn DIR] OUTDIR FONTFILE...
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
#include "segment/grey_image.h"
#include "segment/text_segmenter.h"

namespace {

using namespace morvik;

const int kCapHeights[] = {20, 28, 40, 52, 64};
constexpr double kNoiseShare = 0.01;  // pixels flipped to black or white

struct Options {
  unsigned Seed = 1;
  bool Measure = false, Verbose = false;
  int LearnCap = 40;
  std::string OutDir, LearnDir;
  std::vector<std::string> Fonts;
};

std::string RandomWord(std::mt19937& rng, const std::string& alphabet, int minLen, int maxLen) {
  std::uniform_int_distribution<int> len(minLen, maxLen);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string w;
  for (int n = len(rng); n > 0; --n) w += alphabet[pick(rng)];
  return w;
}

std::string RandomLine(std::mt19937& rng, const std::string& alphabet, int minWords, int maxWords,
                       int minLen, int maxLen) {
  std::string line;
  for (int n = std::uniform_int_distribution<int>(minWords, maxWords)(rng); n > 0; --n)
    line += (line.empty() ? "" : " ") + RandomWord(rng, alphabet, minLen, maxLen);
  return line;
}

std::vector<std::string> DigitLine(std::mt19937& rng) {
  return {RandomLine(rng, "0123456789", 3, 6, 2, 5)};
}

std::vector<std::string> Block(std::mt19937& rng) {
  std::vector<std::string> lines(std::uniform_int_distribution<int>(2, 4)(rng));
  for (std::string& l : lines)
    l = RandomLine(rng, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 2, 4, 2, 6);
  return lines;
}

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

// Written under a temporary name and renamed into place, so no half-written file remains.
void WriteAtomically(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw FileError(temp, "cannot be written");
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) throw FileError(path, "cannot be replaced: " + ec.message());
}

std::string Pgm(const GreyImage& g) {
  std::string s = "P5\n" + std::to_string(g.Width) + " " + std::to_string(g.Height) + "\n255\n";
  s.append(g.Pixels.begin(), g.Pixels.end());
  return s;
}

// The layout of a text or of a cut: 'x' per character, one blank between words, LF between lines.
std::string ShapeOf(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) {
    for (std::size_t i = 0; i < l.size(); ++i)
      if (l[i] != ' ') s += (i > 0 && l[i - 1] == ' ') ? " x" : "x";
    s += '\n';
  }
  return s;
}

std::string ShapeOf(const Segmentation& seg) {
  std::string s;
  for (const TextLine& l : seg.Lines) {
    for (const CharBox& c : l.Chars) s += c.SpaceBefore ? " x" : "x";
    s += '\n';
  }
  return s;
}

std::size_t CountChars(const std::string& shape) {
  std::size_t n = 0;
  for (char c : shape) n += c == 'x';
  return n;
}

struct Tally {
  int Pictures = 0, CountRight = 0, LayoutRight = 0;
  long Chars = 0, Miscount = 0;  // characters in the texts; sum of |found - expected|
  void Add(const Tally& t) {
    Pictures += t.Pictures, CountRight += t.CountRight, LayoutRight += t.LayoutRight;
    Chars += t.Chars, Miscount += t.Miscount;
  }
  void Print(const std::string& name) const {
    std::printf(
        "%-26s pictures %4d  count right %4d  layout right %4d  chars %6ld  miscount %4ld\n",
        name.c_str(), Pictures, CountRight, LayoutRight, Chars, Miscount);
  }
};

std::string Stem(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

void MakeFontPictures(const Options& o, std::size_t fontIndex, Tally& tally) {
  const FontFace font(o.Fonts[fontIndex]);
  int number = 0;
  for (int cap : kCapHeights)
    for (int kind = 0; kind < 2; ++kind)
      for (int polarity = 0; polarity < 2; ++polarity)
        for (int noise = 0; noise < 2; ++noise, ++number) {
          std::mt19937 rng(o.Seed * 1000003u + static_cast<unsigned>(fontIndex) * 1009u + number);
          const std::vector<std::string> text = kind == 0 ? DigitLine(rng) : Block(rng);
          RenderOptions ro;
          ro.LightOnDark = polarity == 1;
          ro.Margin = cap / 2 + 4;
          GreyImage grey = ToGreyImage(RenderText(font, text, cap, ro));
          if (noise) AddNoise(grey, rng);
          const std::string name = Stem(o.Fonts[fontIndex]) + (kind == 0 ? "_digits" : "_block") +
                                   "_c" + std::to_string(cap) + (polarity ? "_ld" : "_dl") +
                                   (noise ? "_noise" : "_clean");
          const std::string base = o.OutDir + "/" + name;
          WriteAtomically(base + ".pgm", Pgm(grey));
          std::string plain;
          for (const std::string& l : text) plain += l + "\n";
          WriteAtomically(base + ".txt", plain);
          if (!o.Measure) continue;
          const std::string want = ShapeOf(text), got = ShapeOf(SegmentText(grey));
          ++tally.Pictures;
          const long wanted = static_cast<long>(CountChars(want));
          const long found = static_cast<long>(CountChars(got));
          tally.CountRight += wanted == found;
          tally.Chars += wanted;
          tally.Miscount += std::labs(found - wanted);
          tally.LayoutRight += want == got;
          if (o.Verbose && want != got)
            std::cout << name << "\n" << plain << "  want " << want << "  got  " << got;
        }
}

// The characters of the pictures, blanks between them so that no pair touches.
void MakeLearningPicture(const Options& o, std::size_t fontIndex) {
  const FontFace font(o.Fonts[fontIndex]);
  const std::vector<std::string> text = {"0 1 2 3 4 5 6 7 8 9", "A B C D E F G H I J K L M",
                                         "N O P Q R S T U V W X Y Z"};
  RenderOptions ro;
  ro.Margin = 24;
  WriteAtomically(o.LearnDir + "/" + Stem(o.Fonts[fontIndex]) + ".pgm",
                  Pgm(ToGreyImage(RenderText(font, text, o.LearnCap, ro))));
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--seed" && i + 1 < argc) {
      o.Seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--learn" && i + 1 < argc) {
      o.LearnDir = argv[++i];
    } else if (a == "--learn-cap" && i + 1 < argc) {
      o.LearnCap = std::atoi(argv[++i]);
    } else if (a == "--measure") {
      o.Measure = true;
    } else if (a == "--verbose") {
      o.Verbose = true;
    } else if (o.OutDir.empty()) {
      o.OutDir = a;
    } else {
      o.Fonts.push_back(a);
    }
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  if (o.OutDir.empty() || o.Fonts.empty()) {
    std::cerr
        << "usage: make_text_pictures [--seed N] [--measure] [--verbose] [--learn DIR] OUTDIR "
           "FONTFILE...\n";
    return 2;
  }
  try {
    std::filesystem::create_directories(o.OutDir);
    if (!o.LearnDir.empty()) std::filesystem::create_directories(o.LearnDir);
    Tally total;
    for (std::size_t f = 0; f < o.Fonts.size(); ++f) {
      Tally t;
      MakeFontPictures(o, f, t);
      if (!o.LearnDir.empty()) MakeLearningPicture(o, f);
      if (o.Measure) t.Print(Stem(o.Fonts[f]));
      total.Add(t);
    }
    if (o.Measure) total.Print("all");
  } catch (const std::exception& e) {
    std::cerr << "make_text_pictures: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
