// A program that embeds Morvik through its public header only: it opens a reference set,
// optionally a character map, and prints the three best references for each picture.
//
//   morvik_embed <set base> <picture.bmp>... [--charmap FILE]
#include <morvik/morvik.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

void Print(const std::string& name, const morvik::Result& result) {
  std::cout << name;
  for (const morvik::Candidate& c : result.Best) {
    char score[32];
    std::snprintf(score, sizeof score, "%.4f", c.Score);
    std::cout << "  " << c.Number << " '" << (c.Character ? c.Character : '?') << "' " << score;
  }
  std::cout << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string charmap;
  for (std::size_t k = 0; k + 1 < args.size(); ++k)
    if (args[k] == "--charmap") {
      charmap = args[k + 1];
      args.erase(args.begin() + static_cast<long>(k), args.begin() + static_cast<long>(k) + 2);
      break;
    }
  if (args.size() < 2) {
    std::cerr << "usage: morvik_embed <set base> <picture.bmp>... [--charmap FILE]\n";
    return 2;
  }
  try {
    morvik::Recognizer recognizer;
    recognizer.OpenSet(args[0]);
    if (!charmap.empty()) recognizer.LoadCharacterMap(charmap);
    for (std::size_t k = 1; k < args.size(); ++k) {
      // The first picture from a file, the others from memory, to show both ways in.
      if (k == 1) {
        Print(args[k], recognizer.RecognizeFile(args[k]));
        continue;
      }
      std::ifstream in(args[k], std::ios::binary);
      const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
      Print(args[k], recognizer.RecognizeMemory(bytes.data(), bytes.size(), args[k]));
    }
  } catch (const morvik::Error& e) {
    std::cerr << "morvik_embed: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
