// Colours as 32-bit values laid out 0x00BBGGRR, and the named colours the system uses.
#pragma once

#include <cstdint>

namespace morvik {

using Colour = std::uint32_t;  // red is byte 0, green byte 1, blue byte 2

constexpr Colour MakeColour(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr int RedOf(Colour c) {
  return c & 0xFF;
}
constexpr int GreenOf(Colour c) {
  return (c >> 8) & 0xFF;
}
constexpr int BlueOf(Colour c) {
  return (c >> 16) & 0xFF;
}

constexpr Colour kRed = 0x0000FF;
constexpr Colour kLime = 0x00FF00;
constexpr Colour kAqua = 0xFFFF00;
constexpr Colour kGrey = 0x808080;
constexpr Colour kFuchsia = 0xFF00FF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

}  // namespace morvik
