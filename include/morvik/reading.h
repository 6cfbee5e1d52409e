// Reading whole pictures: cut into lines and characters and each character recognised
// against a Library. A picture comes from a file (BMP, PNG, PBM/PGM/PPM), from the bytes of
// one in memory, or from a buffer of 8-bit pixels. The answers are those of
// `morvik --read` for the same picture, sets and options.
//
//   const morvik::Library stock = morvik::Library::Stock();
//   const morvik::Reading r = morvik::ReadFile("page.png", stock);
//   std::cout << r.Text;
//
// Thread-safety: the calls keep no state; threads may read at once with one Library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "morvik/error.h"
#include "morvik/library.h"
#include "morvik/settings.h"

namespace morvik {

// What to read with, by value; the defaults are those of `morvik --read`.
struct ReadSettings {
  std::string Chars;  // answer only with these (ranges such as "0-9A-Z"); "" for all
  double Reject = 0;  // 0..1: a best score below it rejects the character (--reject)
  CutSettings Cut;    // text by default
  SamplingOverrides Sampling;
  // Told each line's end (lines read so far, lines in all), on the reading's thread; false
  // stops the reading, which then throws Error kFailed. Empty: not told.
  std::function<bool(int done, int lines)> Progress;
  // The threads one picture's lines are recognised on (0: one a core where the picture holds enough
  // characters to pay for them); the reading is the same whatever the number.
  unsigned Threads = 1;
};

struct PictureBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;  // in picture pixels
};

// One of the best references for a character.
struct CharCandidate {
  std::string Text;  // its character (UTF-8); "" where its set's map names none
  double Score = 0;  // 0..1, the line matcher's mean
  std::string Set;   // its set's base name
  int SetIndex = 0;  // into Library::SetNames()
  int Number = 0;    // the reference 1..40 in its set
};

struct ReadChar {
  std::string Text;  // as the text shows it (UTF-8): "?" rejected or unnamed, " " blank cell
  PictureBox Box;
  // Up to three, best first as the reading ranks them (the finer detail weighs in, so a
  // later one may have the higher line score); none for a blank cell.
  std::vector<CharCandidate> Candidates;
  bool Rejected = false;     // nothing matched, or the best score was below Reject
  bool Blank = false;        // an empty grid or table cell, not recognised
  bool SpaceBefore = false;  // a word space precedes it in the line's text
};

struct ReadLine {
  std::string Text;  // one blank between words, no line end
  std::vector<ReadChar> Chars;
};

struct ReadingSource;  // the engine's reading, for the renderers; internal

struct Reading {
  std::string Text;  // every line followed by "\n" (UTF-8)
  std::vector<ReadLine> Lines;
  std::shared_ptr<const ReadingSource> Source;  // internal: what the renderers print
};

// Reads the picture file at path. Throws Error naming the file: kNotFound, kCannotRead,
// kBadData (not a picture, damaged), kTooLarge (beyond the size caps); kUsage for bad
// settings (Chars, Reject, Grid).
Reading ReadFile(const std::string& path, const Library& library,
                 const ReadSettings& settings = {});

// Reads the bytes of a picture file held in memory; name is the file its errors name.
Reading ReadMemory(const void* data, std::size_t size, const Library& library,
                   const ReadSettings& settings = {}, const std::string& name = "picture");

enum class PixelFormat {
  kGrey,  // one byte a pixel
  kRgb,   // three: red, green, blue
  kRgba,  // four: red, green, blue, alpha (composed over white, as PNG pictures are)
};

// Pixels in memory: Height rows of Width pixels, row k starting at Data + k * Stride. The
// buffer is read, never kept.
struct PixelBuffer {
  const std::uint8_t* Data = nullptr;
  int Width = 0, Height = 0;
  std::size_t Stride = 0;  // bytes from one row to the next, at least Width * bytes a pixel
  PixelFormat Format = PixelFormat::kGrey;
};

// Reads a picture from pixels. Throws Error naming `name`: kUsage for a buffer that does
// not describe one (no data, a size below 1, a stride shorter than a row), kTooLarge beyond
// the size caps of picture files.
Reading ReadPixels(const PixelBuffer& pixels, const Library& library,
                   const ReadSettings& settings = {}, const std::string& name = "pixels");

}  // namespace morvik
