// Test-only PNG loading and writing with libpng: reference images with their alpha channel,
// and PNG files of every colour type, depth and chunk layout for the engine's reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvik::test {

// An 8-bit RGBA picture, rows top to bottom, 4 bytes per pixel.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// Loads any PNG as 8-bit RGBA (palette, grey and tRNS expanded, 16-bit samples rounded,
// no gamma change). Returns false if the file cannot be read or is not a valid PNG.
bool ReadPng(const std::string& path, RgbaImage& out);

// A PNG to write: samples as stored, row after row, channels by colour type, each sample
// of bit_depth bits.
struct PngLayout {
  int width = 1;
  int height = 1;
  int colour_type = 0;  // PNG_COLOR_TYPE_GRAY, _RGB, _PALETTE, _GRAY_ALPHA, _RGB_ALPHA
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<std::uint16_t> samples;
  std::vector<std::array<std::uint8_t, 3>> palette;  // R, G, B
  std::vector<std::uint8_t> palette_alpha;           // tRNS of a palette picture
  std::vector<std::uint16_t> transparent;            // tRNS of grey (1 value) or RGB (3)
};

// The PNG file of layout (empty when libpng refuses it).
std::string EncodeTestPng(const PngLayout& layout);

// One chunk as stored: length, type, data and CRC.
std::string PngChunk(const std::string& type, const std::string& data);
// Offset of the first chunk of this type in a PNG file, or std::string::npos.
std::size_t FindPngChunk(const std::string& png, const std::string& type);

}  // namespace morvik::test
