// Morvik for embedding programs: open a reference set, recognise pictures of single
// characters from a file or from memory, and get the three best references with their
// scores and characters. Every failure throws morvik::Error naming the file.
//
//   morvik::Recognizer r;
//   r.OpenSet("digits");                  // digits.PCP and digits.PCT
//   r.LoadCharacterMap("charmap.txt");    // optional: "<number><TAB><character>" lines
//   const morvik::Result best = r.RecognizeFile("picture.bmp");
//   // best.Best[0].Number, best.Best[0].Score, best.Best[0].Character
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"

namespace morvik {

// The image path and matching settings, with the defaults of a fresh installation.
struct RecognizerOptions {
  int TallyPercent = 75;         // matching threshold, 0..100
  bool BlackCharacters = false;  // dark characters on a light ground
  bool AutoThreshold = true;     // threshold and increment found in each picture
  bool Crop = false;             // crop each picture to its content first
  bool FixedRatio = true;        // scale to Ratio instead of the picture's proportions
  int Ratio = 100;               // aspect ratio percent, 1..100
  int Threshold = 45;            // percent, used without AutoThreshold
  int Increment = 50;            // percent, used without AutoThreshold
};

// One of the best references for a picture.
struct Candidate {
  int Number = 0;      // reference 1..40; 0 where fewer references scored
  double Score = 0;    // 0..1: the mean of the row and the column score
  char Character = 0;  // from the character map; 0 without a map or where it names none
};

struct Result {
  std::array<Candidate, 3> Best{};  // best first
};

// One reference set and its settings. Recognising normalises the references in place, so a
// Recognizer is used by one thread at a time.
class Recognizer {
 public:
  explicit Recognizer(const RecognizerOptions& options = {});
  ~Recognizer();
  Recognizer(Recognizer&&) noexcept;
  Recognizer& operator=(Recognizer&&) noexcept;

  // Reads the 40 references from "<base>.PCP" and the test pattern from "<base>.PCT" (the
  // names are found in any case).
  void OpenSet(const std::string& base);

  // Saves the references and the test pattern as "<base>.PCP" and "<base>.PCT".
  void SaveSet(const std::string& base);

  // Learns references from the pictures "<folder>/1.bmp" .. "<folder>/40.bmp" (where a BMP
  // is missing, the same name as PNG, PGM, PPM or PBM); returns the numbers learned.
  std::vector<int> LearnFolder(const std::string& folder);

  // Reads a character map: lines "<number><TAB><character>", each number 0..40 once, and at
  // least one. Throws Error naming the file (and the line at fault) when it is missing
  // (kNotFound), cannot be read, or is not such a map (kBadData).
  void LoadCharacterMap(const std::string& path);

  // The three best references for a BMP picture file, or for the bytes of one in memory
  // (name is the name its messages use).
  Result RecognizeFile(const std::string& path);
  Result RecognizeMemory(const void* data, std::size_t size, const std::string& name = "picture");

  // Recognises the pictures "<folder>/<row>_<column>.bmp" (or, where that is missing, the same
  // name as PNG, PGM, PPM or PBM; rows from 1 and columns from 0,
  // or with dynamicNames every row and column 0..10) and writes "result.txt" and
  // "result.out" into the folder. Returns how many pictures were recognised. A picture that
  // cannot be read is written as a blank one (pattern 0, score 0) and the run goes on; the
  // error thrown at the end, with both files written, names the first such picture.
  int RecognizeFolder(const std::string& folder, bool dynamicNames = false);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The library's version, "major.minor.patch".
const char* Version();

}  // namespace morvik
