// Learning reference sets: from a picture whose characters are named in reading order, from
// a font file, or from a folder of numbered pictures 1.bmp .. 40.bmp. What is learned is a
// value; Save writes it as set files that Library::Open and `morvik --read --set` use.
//
//   morvik::LearnPicture("digits.png", "0-9").Save("mine");   // mine.PCP and its sidecars
//
// Thread-safety: the calls keep no state; a LearnedSets is immutable and may be shared.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"
#include "morvik/morvik.h"
#include "morvik/settings.h"

namespace morvik {

struct LearnedCore;  // the engine's sets; internal

class LearnedSets {
 public:
  int References() const;  // in all sets
  int SetCount() const;    // 40 references to a set

  // Saves one set as BASE.PCP, BASE.PCT, BASE.charmap.txt, BASE.set.ini and BASE.detail
  // (where it has detail); several as BASE-1, BASE-2, ... with the library file BASE.sets.
  // Everything is saved or nothing: each file is written beside its name, then all are
  // renamed into place, and a failure puts the old files back; a link where a file goes is
  // replaced, never followed. Returns what to open them with: BASE or BASE.sets. Throws
  // Error kCannotWrite naming the file that could not be written.
  std::string Save(const std::string& base) const;
  // Every file Save(base) may write, as named before they are found in any case: so that a
  // caller can refuse a base that would replace what it learned from.
  std::vector<std::string> Files(const std::string& base) const;

  explicit LearnedSets(std::shared_ptr<const LearnedCore> core) : core_(std::move(core)) {}

 private:
  std::shared_ptr<const LearnedCore> core_;
};

// How a picture to learn from is cut and sampled; the defaults are those of
// `morvik --learn-picture`.
struct LearnSettings {
  CutSettings Cut;
  SamplingOverrides Sampling;
};

// The picture's characters in reading order as references 1..n (n at most 40); chars names
// them in that order (ranges such as "0-9A-Z", blanks ignored). Throws Error naming the
// picture: kNotFound, kCannotRead, kBadData as ReadFile; kFailed when its characters are not
// the count chars names, none or more than 40; kUsage for bad settings or chars.
LearnedSets LearnPicture(const std::string& path, const std::string& chars,
                         const LearnSettings& settings = {});

class Picture;  // morvik/picture.h
// The same for a picture decoded already; errors name `name`.
LearnedSets LearnPicture(const Picture& picture, const std::string& chars,
                         const LearnSettings& settings, const std::string& name);

// The cap height fonts are learned at unless others are named, and the largest there is.
constexpr int kDefaultCapHeight = 40;
constexpr int kMaxCapHeight = 1000;

// The characters rendered from a font file at each cap height in pixels (default 40), 40
// references to a set. Throws Error naming the font file when it cannot be opened or lacks a
// character; kUsage for an empty or bad list or a size outside 1..the render limit.
LearnedSets LearnFont(const std::string& fontFile, const std::string& chars,
                      const std::vector<int>& capHeights = {kDefaultCapHeight},
                      const SamplingOverrides& sampling = {});

// References n from the pictures "<folder>/<n>.bmp" (or the same name as PNG, PGM, PPM or
// PBM), n 1..40, under the image settings of the folder runs (`morvik --learn DIR`); the set
// stores those settings and, when characterMap names one, that map. Throws Error kNotFound
// for a missing folder, kFailed when it holds none of the pictures, and as ReadFile for a
// picture that cannot be read.
LearnedSets LearnFolder(const std::string& folder, const RecognizerOptions& image = {},
                        const std::string& characterMap = "");

}  // namespace morvik
