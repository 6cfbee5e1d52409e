// What reading a picture with the stock library costs and gives, as one process per picture
// would do it: open the library, read the picture, cut it, recognise every character, print
// the text (one line per text line, one blank between words). The bench script times it
// beside ocrad and gocr.
//
//   stock_read [--library FILE.sets] [--chars CHARS] [--timing] PICTURE...
//
// --timing prints the processor time of the steps on standard error.
#include <time.h>
#include <ctime>

#include <iostream>
#include <string>
#include <vector>

#include "core/error.h"
#include "image/picture_reader.h"
#include "library/char_filter.h"
#include "library/reference_library.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"
#include "segment/grey_image.h"
#include "segment/text_segmenter.h"

namespace {

// The process's processor time in milliseconds.
double CpuMs() {
  return 1e3 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace morvik;
  bool timing = false;
  double cut = 0, recognised = 0;
  std::string libraryName = "build/stock/stock.sets";
  CharacterOptions options;
  std::vector<std::string> pictures;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--library" && i + 1 < argc) {
      libraryName = argv[++i];
    } else if (a == "--timing") {
      timing = true;
    } else if (a == "--chars" && i + 1 < argc) {
      options.Filter = ParseCharFilter(argv[++i]);
    } else {
      pictures.push_back(a);
    }
  }
  try {
    const double start = CpuMs();
    ReferenceLibrary library = OpenReferenceNames({libraryName});
    const double opened = CpuMs();
    for (const std::string& picture : pictures) {
      double t = CpuMs();
      const GreyImage grey = ToGreyImage(ReadPictureFile(picture));
      const Segmentation seg = SegmentText(grey);
      cut += CpuMs() - t;
      t = CpuMs();
      std::string text;
      for (const TextLine& line : seg.Lines) {
        for (const CharBox& box : line.Chars) {
          const char c =
              RecognizeCharacter(library, CutCharacter(grey, box, seg.DarkOnLight), options)[0]
                  .Char;
          text += std::string(box.SpaceBefore ? " " : "") + (c == 0 ? '?' : c);
        }
        text += '\n';
      }
      recognised += CpuMs() - t;
      std::cout << text;
    }
    if (timing)
      std::cerr << "processor ms: before main " << start << ", library " << opened - start
                << ", read and cut " << cut << ", recognise " << recognised << "\n";
    return 0;
  } catch (const Error& e) {
    std::cerr << "stock_read: " << e.what() << "\n";
    return 1;
  }
}
