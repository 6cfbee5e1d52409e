// Teaching a user library by correcting a reading: characters of a read picture, named right,
// become references of a library file NAME.sets, which the next reading takes. Each teaching
// can be undone while its files are as it left them.
//
//   const morvik::Reading r = morvik::ReadMemory(bytes.data(), bytes.size(), library);
//   const morvik::TeachingPicture picture(bytes.data(), bytes.size(), r);
//   morvik::Teaching t = morvik::Teach(picture, {{box, "e"}}, "mine.sets");
//   morvik::UndoTeaching(t);
//
// Thread-safety: a TeachingPicture is immutable; Teach and UndoTeaching write files and must
// not run at once on one library file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"
#include "morvik/library.h"
#include "morvik/reading.h"
#include "morvik/settings.h"

namespace morvik {

// A character box of a reading and the one character it shows: U+0021..U+00FF other than
// U+007F..U+009F (a set's map holds bytes), as UTF-8.
struct Correction {
  PictureBox Box;
  std::string Text;
};

// A 16 x 16 pattern as a reference holds it, cells row-major: whether each is marked and its
// intensity 0..100.
struct CellPattern {
  std::array<bool, 256> Marked{};
  std::array<std::uint8_t, 256> Level{};
};

struct TeachingCore;  // the decoded picture and its cut; internal

// The picture a reading was made from, decoded once, with what that reading cut it into.
class TeachingPicture {
 public:
  // data and size: the bytes of the picture file the reading read (as ReadMemory takes them);
  // name: the file errors name. Throws Error as ReadMemory for bytes that are no picture, and
  // kUsage for a reading that carries no cut (one built by hand).
  TeachingPicture(const void* data, std::size_t size, const Reading& reading,
                  const std::string& name = "picture");

  // The pattern a reference taught from the box would hold, sampled with the settings a new
  // user set stores. Throws Error kUsage for a box the reading does not hold.
  CellPattern PatternOf(const PictureBox& box) const;

  const std::shared_ptr<const TeachingCore>& Core() const { return core_; }

 private:
  std::shared_ptr<const TeachingCore> core_;
};

struct TeachingRecord;  // the files a teaching replaced, before and after; internal

// What one teaching did.
struct Teaching {
  std::string Library;            // the library file taught
  std::vector<std::string> Sets;  // the base names that took references, in order
  int Added = 0;                  // references added
  std::shared_ptr<const TeachingRecord> Record;
};

// Adds every correction as a reference of the library file (a name ending in ".sets"): to
// its last set while that holds fewer than 40, then to a new set "<NAME>-<k>" (the first k
// free) listed after it. A missing library file is created with the set "<NAME>-1". A new
// set stores the settings of `morvik --learn-picture` with the sampling overrides; an
// existing set samples with its own. Every file is written whole, and all of them or none:
// each set's references, character map, settings and detail, and the library file. Throws
// Error kUsage for a name that is no library file, no corrections, a box the reading does not
// hold or a text that is not one such character; as Library::Open for a library file or set
// that cannot be read; kCannotWrite naming the file that could not be written.
Teaching Teach(const TeachingPicture& picture, const std::vector<Correction>& corrections,
               const std::string& libraryFile, const SamplingOverrides& sampling = {});

// Puts back the files the teaching replaced as they were before it, and removes those it
// created, all or none. Throws Error kFailed naming a file that changed since the teaching
// (nothing is then undone), kCannotWrite as Teach.
void UndoTeaching(const Teaching& teaching);

// One library of the sets of several, in their order (earlier sets win ranking ties), sharing
// nothing with them that could change. Throws Error kUsage for none, kTooLarge beyond 256 sets.
Library JoinLibraries(const std::vector<Library>& libraries);

}  // namespace morvik
