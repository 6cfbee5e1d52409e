// A picture decoded once and used for more than reading: read, learned from, cut into the
// numbered bitmaps of the folder runs (`morvik --read --cut`), drawn with its character boxes
// (`--boxes`). The calls of morvik/reading.h and morvik/learning.h that take a file decode
// it themselves.
//
//   const morvik::Picture p = morvik::Picture::FromFile("line.png");
//   const morvik::Reading r = morvik::ReadPicture(p, morvik::Library::Stock());
//   morvik::WriteCut(p, r, "cells");   // cells/1_0.bmp ... for `morvik cells`
//
// Thread-safety: a Picture is immutable; copies share the pixels.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "morvik/error.h"
#include "morvik/library.h"
#include "morvik/reading.h"
#include "morvik/settings.h"

namespace morvik {

struct PictureCore;  // the decoded pixels; internal

class Picture {
 public:
  // A picture file (BMP, PNG, PBM/PGM/PPM). Throws Error naming the file: kNotFound,
  // kCannotRead, kBadData (not a picture, damaged), kTooLarge (beyond the size caps).
  static Picture FromFile(const std::string& path);
  // The bytes of a picture file in memory; name is the file its errors name.
  static Picture FromMemory(const void* data, std::size_t size, const std::string& name);
  // A picture file read from the open descriptor fd to its end (standard input is 0), up to
  // 1 GiB; errors name `name`.
  static Picture FromDescriptor(int fd, const std::string& name);

  int Width() const;
  int Height() const;

  // Internal: the pixels, for the calls that use them.
  const std::shared_ptr<const PictureCore>& Core() const { return core_; }

 private:
  explicit Picture(std::shared_ptr<const PictureCore> core) : core_(std::move(core)) {}
  std::shared_ptr<const PictureCore> core_;
};

// Reads the picture as ReadFile reads a file; errors name `name` (the picture as shown).
Reading ReadPicture(const Picture& picture, const Library& library,
                    const ReadSettings& settings = {}, const std::string& name = "picture");

// The files WriteCut writes for the reading: one a character, word space and empty cell.
std::size_t CutFileCount(const Reading& reading);

// Cuts no more files than this unless the caller allows more (`--cut-limit`).
constexpr std::size_t kDefaultCutLimit = 10000;

// Writes each character of the reading as "<folder>/<line>_<index>.bmp" (bright on black;
// word spaces and empty cells as black pictures) with the list ".morvik-cut" of the files
// written. The folder must be new, empty, or one an earlier cut wrote: the files that cut
// listed are removed; any other folder is refused untouched (Error kCannotWrite). Throws
// Error kCannotWrite naming a file that cannot be written.
void WriteCut(const Picture& picture, const Reading& reading, const std::string& folder);

// Writes the picture as PNG with the boxes of the reading's characters drawn. Throws Error
// kCannotWrite naming the file.
void WriteBoxes(const Picture& picture, const Reading& reading, const std::string& pngFile);

// The same for the boxes the picture is cut into under `cut` (what learning it would take).
void WriteBoxes(const Picture& picture, const CutSettings& cut, const std::string& pngFile);

}  // namespace morvik
