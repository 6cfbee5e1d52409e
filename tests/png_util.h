// Test-only PNG loading with libpng, for comparing decoded pictures with reference images.
#pragma once

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

}  // namespace morvik::test
